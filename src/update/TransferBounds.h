#pragma once

#include <chrono>

namespace gapwell {

// Time bounds of one HTTP transfer; a zero duration means "no bound".
struct TransferBounds {
    // Name resolution, TCP and TLS set-up together.
    std::chrono::milliseconds connect{0};
    // The whole transfer, from start to the last byte.
    std::chrono::milliseconds total{0};
    // The longest time without a byte of the body.
    std::chrono::milliseconds stall{0};
};

// The version check runs before the main window appears, so an unreachable update host must
// cost well under two seconds of start-up.
inline constexpr TransferBounds kVersionCheckBounds{
    std::chrono::milliseconds(1200), std::chrono::milliseconds(1500), std::chrono::milliseconds(0)};

// The archive may take long on a slow line, but a server that stops sending ends it.
inline constexpr TransferBounds kArchiveBounds{std::chrono::milliseconds(5000),
                                               std::chrono::milliseconds(0),
                                               std::chrono::milliseconds(15000)};

}  // namespace gapwell
