#pragma once

#include <iosfwd>
#include <string>

namespace gapwell::release {

// Makes a key pair: writes the secret key (base64, one line) to a new file that only its owner
// can read, and prints the public key (base64) for the program's build setting.
int Keygen(const std::string& secretFile, std::ostream& out);

// Signs ARCHIVE for VERSION under the file name that ends URL (the name the program downloads it
// as): writes ARCHIVE.sig and prints the version-file line that names the archive at URL, ended
// by CR LF as the program reads it, followed by the release notes read from NOTES_FILE when one
// is given (the whole version file must stay within the program's 64 KiB bound).
int Sign(const std::string& secretFile, const std::string& archive, const std::string& version,
         const std::string& url, const std::string& notesFile, std::ostream& out);

// Checks ARCHIVE, under its own file name, and its signature file for VERSION against the public
// key (base64); prints the outcome; 0 when the signature is valid, 1 when not.
int Verify(const std::string& publicKey, const std::string& archive, const std::string& version,
           const std::string& signatureFile, std::ostream& out);

}  // namespace gapwell::release
