// ROM facts of any file: the length is the file's, each header field shows exactly the bytes of
// it that the file holds, and header text never holds control characters.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "MemoryFile.h"
#include "search/RomFacts.h"

namespace {

std::string FieldBytes(const std::string& file, std::int64_t offset, std::size_t size) {
    const auto at = static_cast<std::size_t>(offset);
    return at < file.size() ? file.substr(at, size) : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static gapwell::fuzz::MemoryFile rom;
    rom.Set(data, size);
    const gapwell::RomFacts facts = gapwell::ReadRomFacts(rom.Path());
    const std::string file(reinterpret_cast<const char*>(data), size);
    std::string title = FieldBytes(file, gapwell::kTitleOffset, gapwell::kTitleLength);
    while (!title.empty() && title.back() == '\0') {
        title.pop_back();
    }
    const bool controlFree = std::none_of(facts.title.begin(), facts.title.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20;
    });
    if (facts.length != static_cast<std::int64_t>(size) ||
        facts.headerComplete != (size >= gapwell::kMakerCodeOffset + gapwell::kMakerCodeLength) ||
        facts.title != gapwell::HeaderText(title) ||
        facts.gameCode != gapwell::HeaderText(FieldBytes(file, gapwell::kGameCodeOffset,
                                                         gapwell::kGameCodeLength)) ||
        facts.makerCode != gapwell::HeaderText(FieldBytes(file, gapwell::kMakerCodeOffset,
                                                          gapwell::kMakerCodeLength)) ||
        !controlFree) {
        std::abort();
    }
    return 0;
}
