// The string-table parser on any text: it refuses the text with std::invalid_argument, or the
// table it reads, written back as lines, reads back the same.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "services/StringTables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const gapwell::StringTable table = gapwell::ParseStringTable(text);
        std::string written;
        for (const auto& [id, value] : table) {
            written += std::to_string(id) + "\t" + value + "\n";
        }
        if (gapwell::ParseStringTable(written) != table) {
            std::abort();
        }
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
