#pragma once

#include <chrono>
#include <cstdint>

namespace gapwell {

// The largest resource any transfer accepts.
inline constexpr std::int64_t kMaxAnnouncedLength = 256LL * 1024 * 1024;

// Bounds of one HTTP transfer; a zero duration means "no bound".
struct TransferBounds {
    // Name resolution, TCP and TLS set-up together.
    std::chrono::milliseconds connect{0};
    // The whole transfer, from start to the last byte.
    std::chrono::milliseconds total{0};
    // The longest time without a byte of the body.
    std::chrono::milliseconds stall{0};
    // The largest announced length accepted; anything above is refused before the body.
    std::int64_t maxBytes = kMaxAnnouncedLength;
    // Whether a body without a Content-Length (chunked, or ended by closing the connection) is
    // read up to `maxBytes`; the buffer is then made that large, so only small resources do.
    bool unannouncedAllowed = false;
};

// The version file is one short line; anything longer than this is refused unread.
inline constexpr std::int64_t kMaxVersionFileBytes = 64LL * 1024;
// A signature file is one line of base64.
inline constexpr std::int64_t kMaxSignatureFileBytes = 1024;
// The largest release archive downloaded and read whole for its signature check.
inline constexpr std::int64_t kMaxArchiveBytes = 256LL * 1024 * 1024;

// The check at start-up runs before the main window appears, so an unreachable update host
// must cost well under two seconds of start-up.
inline constexpr TransferBounds kVersionCheckBounds{
    std::chrono::milliseconds(1200), std::chrono::milliseconds(1500), std::chrono::milliseconds(0),
    kMaxVersionFileBytes, true};

// "Check Now...": a person waits and may cancel, so a slow or distant link gets time.
inline constexpr TransferBounds kAttendedCheckBounds{
    std::chrono::milliseconds(10000), std::chrono::milliseconds(30000),
    std::chrono::milliseconds(0), kMaxVersionFileBytes, true};

// The signature beside the archive: as small and as bounded in time as the version file.
inline constexpr TransferBounds kSignatureBounds{
    std::chrono::milliseconds(10000), std::chrono::milliseconds(30000),
    std::chrono::milliseconds(0), kMaxSignatureFileBytes, true};

// The archive may take long on a slow line, but a server that stops sending ends it.
inline constexpr TransferBounds kArchiveBounds{std::chrono::milliseconds(5000),
                                               std::chrono::milliseconds(0),
                                               std::chrono::milliseconds(15000), kMaxArchiveBytes};

}  // namespace gapwell
