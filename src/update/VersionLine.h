#pragma once

#include <string>

namespace gapwell {

// What the version-information line offers. When the line is unusable, `usable` is false,
// `newestVersion` is "0.0.0" and the archive fields are empty.
struct VersionOffer {
    bool usable = false;
    std::string newestVersion = "0.0.0";
    std::string archiveUrl;
    std::string archiveFileName;
};

// The text up to the first carriage return (a line feed alone does not end the line).
std::string FirstLine(const std::string& text);

// Reads "any text|version|archive URL": exactly three fields, a version of digits and dots
// (at least one digit), and an archive whose name (the text after the URL's last "/") is a
// plain file name that holds ".zip".
VersionOffer ParseVersionLine(const std::string& line);

// The text after the last "/" of a URL; empty when there is none.
std::string GetUrlFileName(const std::string& url);

// A plain file name for the updates folder: letters, digits, ".", "-" and "_" only, starting
// with a letter or digit, no "..", holding ".zip" in lower case.
bool IsPlainArchiveName(const std::string& name);

}  // namespace gapwell
