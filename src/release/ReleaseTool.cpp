#include "release/ReleaseTool.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <ostream>
#include <string>

#include "release/ReleaseCommands.h"

namespace gapwell::release {

namespace {
constexpr int kExitError = 2;
}

int RunReleaseTool(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Makes and checks the signatures of Gapwell releases (for the maker only)",
                 "gapwell-release"};
    app.require_subcommand(1);

    std::string secretFile;
    std::string archive;
    std::string version;
    std::string url;
    std::string publicKey;
    std::string signatureFile;

    CLI::App* keygen = app.add_subcommand("keygen", "make a key pair");
    keygen->add_option("SECRET_FILE", secretFile, "new file for the secret key")->required();

    CLI::App* sign = app.add_subcommand("sign", "sign an archive for a version");
    sign->add_option("SECRET_FILE", secretFile, "the secret key file")->required();
    sign->add_option("ARCHIVE", archive, "the release archive")->required();
    sign->add_option("VERSION", version, "the version, as the version file names it")->required();
    sign->add_option("URL", url, "where the server publishes the archive")->required();
    std::string notesFile;
    sign->add_option("NOTES_FILE", notesFile,
                     "release notes (UTF-8 text), printed after the version line");

    CLI::App* verify = app.add_subcommand("verify", "check an archive's signature");
    verify->add_option("PUBLIC_KEY", publicKey, "the public key (base64)")->required();
    verify->add_option("ARCHIVE", archive, "the release archive")->required();
    verify->add_option("VERSION", version, "the version, as the version file names it")->required();
    verify->add_option("SIGNATURE_FILE", signatureFile, "default: ARCHIVE.sig");

    try {
        app.parse(argc, argv);
        if (*keygen) {
            return Keygen(secretFile, out);
        }
        if (*sign) {
            return Sign(secretFile, archive, version, url, notesFile, out);
        }
        return Verify(publicKey, archive, version,
                      signatureFile.empty() ? archive + ".sig" : signatureFile, out);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        err << "gapwell-release: " << error.what() << '\n';
        return kExitError;
    } catch (const std::exception& error) {
        err << "gapwell-release: " << error.what() << '\n';
        return kExitError;
    }
}

}  // namespace gapwell::release
