#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace gapwell::test {

// Polls `done` every 20 ms until it holds or `limit` has passed; returns whether it held.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace gapwell::test
