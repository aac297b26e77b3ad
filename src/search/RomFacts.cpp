#include "search/RomFacts.h"

#include <algorithm>

#include "search/ReadOnlyFile.h"

namespace gapwell {

namespace {

// The field's bytes that lie inside the file's length. A file may yield bytes past the length
// it reports (a system file of length 0, a file that grows meanwhile); those are not its header.
std::string ReadField(const ReadOnlyFile& file, std::int64_t length, std::int64_t offset,
                      std::size_t size) {
    if (offset >= length) {
        return {};
    }
    size = std::min(size, static_cast<std::size_t>(length - offset));
    std::string bytes(size, '\0');
    const std::size_t got =
        file.ReadAt(offset, reinterpret_cast<std::uint8_t*>(bytes.data()), size);
    bytes.resize(got);
    return bytes;
}

}  // namespace

std::uint8_t HeaderComplement(const std::uint8_t* header) {
    unsigned sum = 0;
    for (std::int64_t i = 0; i < kComplementOffset - kTitleOffset; ++i) {
        sum += header[i];
    }
    return static_cast<std::uint8_t>(0u - sum - 0x19u);
}

std::int64_t RomLength(const std::string& path) {
    return ReadOnlyFile(path).Length();
}

RomFacts ReadRomFacts(const std::string& path) {
    const ReadOnlyFile file(path);
    RomFacts facts;
    facts.length = file.Length();
    std::string title = ReadField(file, facts.length, kTitleOffset, kTitleLength);
    while (!title.empty() && title.back() == '\0') {
        title.pop_back();
    }
    facts.title = HeaderText(title);
    facts.gameCode = HeaderText(ReadField(file, facts.length, kGameCodeOffset, kGameCodeLength));
    facts.makerCode = HeaderText(ReadField(file, facts.length, kMakerCodeOffset, kMakerCodeLength));
    facts.headerComplete =
        facts.length >= kMakerCodeOffset + static_cast<std::int64_t>(kMakerCodeLength);
    const std::string checked =
        ReadField(file, facts.length, kTitleOffset, kComplementOffset + 1 - kTitleOffset);
    if (checked.size() == static_cast<std::size_t>(kComplementOffset + 1 - kTitleOffset)) {
        facts.headerCheck =
            HeaderCheck{static_cast<std::uint8_t>(checked.back()),
                        HeaderComplement(reinterpret_cast<const std::uint8_t*>(checked.data()))};
    }
    return facts;
}

std::string HeaderText(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            text += '.';
        } else if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

}  // namespace gapwell
