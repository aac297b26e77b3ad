#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gapwell {

// The version-information file in the update folder (the program's title + ".txt"), read by
// the program and written by gapwell-release. Its first line, up to the first line end (CR LF,
// or LF alone), reads "<product>|<newest version>|<archive URL>"; gapwell-release ends it by
// CR LF.

// What the version line offers. When the line is unusable, `usable` is false, `newestVersion`
// is "0.0.0" and the archive fields are empty.
struct VersionOffer {
    bool usable = false;
    std::string newestVersion = "0.0.0";
    std::string archiveUrl;
    std::string archiveFileName;
};

// What the line's archive must match: the update folder it was fetched from (an https folder
// takes https archives only) and the running program's own file name (the archive is named
// after the program it carries: "GPW.zip", "GPW.1.03.zip").
struct ArchiveRules {
    std::string updateFolderUrl;
    std::string programName;
};

// The update folder's URL: the environment variable GAPWELL_UPDATE_URL when it is set and not
// empty (a missing final "/" is added), otherwise the built-in base URL.
std::string UpdateBaseUrl();
// The version-information file: the update folder + the program's title + ".txt".
std::string VersionFileUrl();

// The line for `version` and the archive at `archiveUrl`, with its CR LF.
std::string VersionLineText(std::string_view version, std::string_view archiveUrl);

// The text up to the first line end: CR LF, or a carriage return or line feed alone.
std::string FirstLine(std::string_view text);

// Reads a line: exactly three fields; no control character anywhere; a version of digits and
// dots (at least one digit); an archive URL that may be requested (absolute http or https, and
// https when the update folder is https) whose file name (the text after its last "/") is a
// plain archive name for the program. Takes time linear in the line's length and no more
// memory than the fields it keeps.
VersionOffer ParseVersionLine(std::string_view line, const ArchiveRules& rules);

// Whether `newest` is a later version than `current`. Both are numbers joined by "." and are
// compared number by number (1.2.10 is later than 1.2.3, 1.10 later than 1.9); a missing or
// empty number counts as 0, and numbers of any length compare exactly.
bool IsNewerVersion(std::string_view current, std::string_view newest);

// The text after the last "/" of a URL; empty when there is none.
std::string GetUrlFileName(std::string_view url);

// A plain file name for the updates folder that carries the program `programName`: letters,
// digits, ".", "-" and "_" only, no "..", holding ".zip" in lower case, and the text before
// its first "." is exactly `programName`.
bool IsPlainArchiveName(std::string_view name, std::string_view programName);

// The whole text of a downloaded file of at most `maxBytes` bytes, opened without following a
// link; a longer file gives "" and is read no further. The file stays. Throws RuntimeError with
// the system's error number when it cannot be read or is no regular file (a FIFO planted in its
// place is refused, not waited on).
std::string ReadBoundedText(const std::string& path, std::int64_t maxBytes);

// The first line of a downloaded text file of at most `maxBytes` bytes, opened without
// following a link; a longer file gives an empty line and is read no further. The file stays.
// Throws RuntimeError when it cannot be read.
std::string ReadFirstLine(const std::string& path, std::int64_t maxBytes);

// The first line of the downloaded version file (at most kMaxVersionFileBytes).
std::string ReadVersionFileLine(const std::string& path);
// The whole downloaded version file (at most kMaxVersionFileBytes).
std::string ReadVersionFileText(const std::string& path);

}  // namespace gapwell
