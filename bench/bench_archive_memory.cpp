// Peak memory of one Live Update with a signed archive: the version check, the archive's
// download and signature check, and the installation up to the hand-over (which is recorded by
// the platform double, not started). Run once per process, since the peak only grows.
//   bench_archive_memory prepare FOLDER MIB BASE_URL   writes FOLDER/GPW.zip (a program and
//       MIB MiB of random bytes, stored), GPW.zip.sig, GPW.txt naming BASE_URL + "GPW.zip", and
//       FOLDER/key.txt with the public key; serve FOLDER at BASE_URL.
//   bench_archive_memory run BASE_URL KEY PROGRAM_FOLDER
//       prints the archive's size and the peak resident memory above the start, in MiB and as a
//       multiple of the archive's size.
#include <sodium.h>
#include <sys/resource.h>
#include <zip.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/FakePlatform.h"
#include "update/LiveUpdate.h"
#include "update/ReleaseSignature.h"
#include "update/clsDownload.h"

namespace {

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool AddStored(zip_t* archive, const char* name, const std::string& bytes) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    const zip_int64_t index =
        source == nullptr ? -1 : zip_file_add(archive, name, source, ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) ==
           0;
}

int Prepare(const std::string& folder, long mebibytes, const std::string& baseUrl) {
    std::string data(static_cast<std::size_t>(mebibytes) << 20, '\0');
    std::mt19937_64 random(28);
    for (char& byte : data) {
        byte = static_cast<char>(random());
    }
    const std::string program = "#!/bin/sh\nexit 0\n";
    const std::string archivePath = folder + "/GPW.zip";
    int code = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr || !AddStored(archive, "GPW", program) ||
        !AddStored(archive, "data.bin", data) || zip_close(archive) != 0) {
        std::fprintf(stderr, "cannot write %s\n", archivePath.c_str());
        return 1;
    }
    if (sodium_init() < 0) {
        return 1;
    }
    const gapwell::ReleaseKeyPair keys = gapwell::MakeReleaseKeyPair();
    const gapwell::ReleaseSignature signature =
        gapwell::SignRelease(keys.secretKey, "1.2.4", "GPW.zip", ReadAll(archivePath));
    WriteAll(archivePath + ".sig", gapwell::EncodeBase64(signature.data(), signature.size()));
    WriteAll(folder + "/GPW.txt", "Gapwell|1.2.4|" + baseUrl + "GPW.zip\r\n");
    WriteAll(folder + "/key.txt",
             gapwell::EncodeBase64(keys.publicKey.data(), keys.publicKey.size()));
    return 0;
}

int Run(const std::string& baseUrl, const std::string& key, const std::string& programFolder) {
    gapwell::FakePlatform platform;
    platform.programFolder = programFolder;
    gapwell::SetCurrentPlatform(&platform);
    WriteAll(programFolder + "/GPW", "#!/bin/sh\nexit 0\n");

    gapwell::LiveUpdateSettings settings;
    settings.currentVersion = "1.2.3";
    settings.versionUrl = baseUrl + "GPW.txt";
    settings.rules = gapwell::ArchiveRules{baseUrl, "GPW"};
    settings.versionTempFile = programFolder + "/_upd957k.tmp";
    settings.signatureTempFile = programFolder + "/_sig957k.tmp";
    settings.updatesFolder = programFolder + "/Updates/";
    settings.publicKey = key;
    gapwell::clsDownload downloader;
    gapwell::LiveUpdate update(downloader, settings);

    const double start = PeakMiB();
    if (!update.CheckForUpdate(gapwell::kAttendedCheckBounds).updateAvailable) {
        std::fprintf(stderr, "no update offered\n");
        return 1;
    }
    const std::int32_t size = update.FetchArchive();
    const double fetched = PeakMiB();
    const bool installed = size != 0 && update.Install();
    const double peak = PeakMiB();
    gapwell::SetCurrentPlatform(nullptr);
    if (!installed) {
        std::fprintf(stderr, "the archive was not installed\n");
        return 1;
    }
    const double archive = static_cast<double>(size) / (1 << 20);
    std::printf(
        "archive %.1f MiB; peak above start: %.1f MiB after the download and check (%.2fx), "
        "%.1f MiB after the installation (%.2fx)\n",
        archive, fetched - start, (fetched - start) / archive, peak - start,
        (peak - start) / archive);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "prepare") {
        return Prepare(args[1], std::stol(args[2]), args[3]);
    }
    if (args.size() == 4 && args[0] == "run") {
        return Run(args[1], args[2], args[3]);
    }
    std::fprintf(stderr,
                 "usage: bench_archive_memory prepare FOLDER MIB BASE_URL\n"
                 "       bench_archive_memory run BASE_URL KEY PROGRAM_FOLDER\n");
    return 2;
}
