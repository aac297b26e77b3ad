#pragma once

#include <functional>

#include "platform/Platform.h"

namespace gapwell {

// The platform layer of the desktop program: Qt for the windows, dialogs, clipboard and fonts,
// POSIX for the system facts. Needs a QApplication.
class QtPlatform : public Platform {
  public:
    // `unloadMainWindow` is what UnloadMainWindow does: the program closes its main window.
    explicit QtPlatform(std::function<void()> unloadMainWindow = {});

    int TaskDialog(const TaskDialogRequest& request) override;
    int ClassicMessageBox(const std::string& text, const std::string& title, int style) override;
    // A task-dialog-capable system of the NT family, so messages take the task-dialog path.
    std::optional<OsVersionInfo> GetVersionEx() override;
    // The running kernel's version (major.minor.patch).
    OsVersionInfo SystemVersion() override;
    void Beep() override;
    void DoEvents() override;
    void ClearClipboard() override;
    void SetClipboardText(const std::string& text) override;
    std::string GetOpenFileName(const OpenFileRequest& request) override;
    std::vector<std::string> ScreenFonts() override;
    void OpenUrl(const std::string& url) override;
    // A detached POSIX process (StartDetachedProcess).
    void StartHiddenProcess(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& workingFolder) override;
    // Online when the kernel has a usable default route (IPv4 or IPv6) off the loopback.
    bool IsOnline() override;
    std::string ProgramFolder() override;
    std::string ProgramFileName() override;
    std::string TempFolder() override;
    // ProgramFileLocations of the program folder.
    FileLocations Locations() override;
    LocaleSettings UserLocale() override;
    std::string CommandLine() override;
    LocalDateTime Now() override;
    void UnloadMainWindow() override;
    // Flushes the output streams and ends the process at once with `exitStatus`.
    void EndProgram(int exitStatus) override;

  private:
    std::function<void()> unloadMainWindow_;
};

}  // namespace gapwell
