#pragma once

#include <optional>
#include <string>

namespace gapwell {

// Classic message-box answers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdClose = 8;
inline constexpr int kIdTryAgain = 10;
inline constexpr int kIdContinue = 11;

// The one way to show a message. `style` is the classic encoding (buttons | icon | options);
// an absent title means the application title "GPW". Returns the classic answer code.
int ShowMessage(const std::string& prompt, int style,
                const std::optional<std::string>& title = std::nullopt);

// Shows a task dialog on systems of version 6 or later (unless forceClassic), else a classic
// message box; reports its own failures as "MessageBox" in "modMsgBox".
int MessageBox(const std::string& prompt, const std::optional<std::string>& title, int buttons,
               int icon, int options, bool forceClassic);

// The major system version on NT-family systems, 0 on others; cached once known.
int NTMajorVersion();

// Forgets the cached major version, so that tests can play several systems in one process.
void ForgetNTMajorVersion();

}  // namespace gapwell
