// The signature-file reader on any text: a text is refused, or it holds exactly one line of
// base64 whose 64 bytes, written back, give that line again.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/signature/ReleaseSignature.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto signature = gapwell::ReadSignatureFile(text);
    if (!signature) {
        return 0;
    }
    const std::string line = gapwell::EncodeBase64(signature->data(), signature->size());
    const auto start = text.find(line);
    if (start == std::string_view::npos ||
        text.substr(0, start).find_first_not_of(" \t\r\n") != std::string_view::npos ||
        text.substr(start + line.size()).find_first_not_of(" \t\r\n") != std::string_view::npos) {
        std::abort();
    }
    return 0;
}
