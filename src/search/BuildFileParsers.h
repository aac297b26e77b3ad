#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/BuildFiles.h"

// The readers of each build-file format, for BuildFiles.cpp; each fills `file` or throws
// RuntimeError (EINVAL) with one line naming `name`.
namespace gapwell::build_files {

// Adds an entry at a GBA address (with `offsetsToo`, a small value is a ROM offset), counting it
// by kind, and marks the ROM when it lies there.
void AddEntry(BuildFile& file, EntryKind kind, std::uint64_t address, std::int64_t size,
              std::string_view entryName, bool offsetsToo);

// A strict hexadecimal number of 1 to 16 digits, with "0x" in front when `prefixed`; nothing when
// the text is anything else.
std::optional<std::uint64_t> StrictHex(std::string_view text, bool prefixed);

// A piece of a file shown in a message: its first 40 bytes in quotes, bytes other than printable
// ASCII as \xNN, so that a binary file makes a short message of plain text.
std::string Quoted(std::string_view line);

// [[noreturn]] failure for line `line` (0: the file as a whole).
[[noreturn]] void Malformed(const std::string& name, std::size_t line, const std::string& why);

void ParseSymbolFile(std::string_view text, const std::string& name, BuildFile& file);
void ParseSymbolList(std::string_view text, const std::string& name, BuildFile& file);
void ParseLinkerMap(std::string_view text, const std::string& name, BuildFile& file);
void ParseElf(std::string_view bytes, const std::string& name, BuildFile& file);

}  // namespace gapwell::build_files

namespace gapwell::build_files {

// The lines of a text (ended by LF or CR LF; a last line without an end counts), numbered from 1.
class TextLines {
  public:
    explicit TextLines(std::string_view text) : rest_(text) {}
    // The next line without its line end; false after the last.
    bool Next(std::string_view& line);
    std::size_t Number() const { return number_; }

  private:
    std::string_view rest_;
    std::size_t number_ = 0;
};

// The blank-separated fields of `line`; the last of at most `maxFields` holds the rest of the
// line (trailing blanks dropped).
std::vector<std::string_view> Fields(std::string_view line, std::size_t maxFields);

}  // namespace gapwell::build_files
