#include "cli/FilePaths.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <system_error>

#include "base/RuntimeError.h"

namespace gapwell::cli {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return PathOf(a).lexically_normal() == PathOf(b).lexically_normal() ||
           (std::filesystem::equivalent(PathOf(a), PathOf(b), error) && !error);
}

}  // namespace

CLI::Option* AddFileOption(CLI::App& command, const std::string& name, std::string& file,
                           const std::string& description) {
    return command.add_option(name, file, description)->check([](const std::string& value) {
        return value.empty() ? std::string("an empty file name") : std::string();
    });
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FollowLink(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_symlink(PathOf(path), error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::weakly_canonical(PathOf(path), error);
    if (error) {
        throw RuntimeError(error.value(), path + ": " + error.message());
    }
    const std::u8string text = target.u8string();
    return {text.begin(), text.end()};
}

void RefuseSpecialOutput(const std::string& option, const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(PathOf(path), error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw RuntimeError(
            EINVAL, option + " " + path + " is not a regular file; the new file would replace it");
    }
}

void RefuseSameFiles(const std::vector<std::pair<std::string, std::string>>& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            const auto& [option, path] = files[i];
            const auto& [otherOption, otherPath] = files[j];
            if (!path.empty() && !otherPath.empty() && SameFile(path, otherPath)) {
                throw RuntimeError(EINVAL, option + " " + path + " and " + otherOption + " " +
                                               otherPath +
                                               " are the same file; each must be its own");
            }
        }
    }
}

}  // namespace gapwell::cli
