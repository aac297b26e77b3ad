#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileLocations.h"

namespace gapwell {

// The version record of the message-box decisions (major, minor, build, platform id; the
// platform id 2 is the NT family).
struct OsVersionInfo {
    int major = 0;
    int minor = 0;
    int build = 0;
    int platformId = 0;
};

// The locale settings that choose the interface language, as found in the environment
// (an unset variable is an empty text).
struct LocaleSettings {
    std::string language;  // LANGUAGE: a colon-separated list of preferences
    std::string lcAll;
    std::string lcMessages;
    std::string lang;
};

struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A task-dialog-style box: the common-button set and icon use the task dialog's values
// (buttons: 0x01 OK, 0x02 Yes, 0x04 No, 0x08 Cancel, 0x10 Retry, 0x20 Close; icons: 0xFFFF
// warning, 0xFFFE error, 0xFFFD information, 0xFFFC..0xFFF7 shields, 0 none).
struct TaskDialogRequest {
    std::string title;
    std::string mainInstruction;
    std::optional<std::string> content;
    int commonButtons = 0;
    int icon = 0;
};

// The Open dialog. `filters` holds (description, patterns) pairs such as
// ("GameBoy Advance ROMs (*.gba, *.agb, *.bin)", "*.gba;*.agb;*.bin").
struct OpenFileRequest {
    std::string title;
    std::string initialPath;
    std::vector<std::pair<std::string, std::string>> filters;
    int filterIndex = 0;
    std::string defaultExtension;
    int flags = 0;
};

// What the operating system and the window toolkit provide. One real implementation (Qt and
// POSIX) and one test double that records calls and plays scripted answers. The program uses
// the current instance (CurrentPlatform); tests install their double with SetCurrentPlatform.
// Calls that can fail throw RuntimeError.
class Platform {
  public:
    virtual ~Platform() = default;

    // Shows a task-dialog-style box; returns the task dialog's result (1 OK, 2 Cancel, 4 Retry,
    // 6 Yes, 7 No, 8 Close), 0 when it could not be shown.
    virtual int TaskDialog(const TaskDialogRequest& request) = 0;
    // Shows a classic message box with the classic style value; returns the classic answer.
    virtual int ClassicMessageBox(const std::string& text, const std::string& title, int style) = 0;
    // The version record that decides between task dialogs and classic boxes; nullopt when the
    // query failed.
    virtual std::optional<OsVersionInfo> GetVersionEx() = 0;
    // The real operating-system version, as recorded in Bug.log.
    virtual OsVersionInfo SystemVersion() = 0;

    virtual void Beep() = 0;
    // Lets pending window messages run.
    virtual void DoEvents() = 0;
    virtual void ClearClipboard() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    // Returns the chosen full path, or an empty text when the dialog was cancelled.
    virtual std::string GetOpenFileName(const OpenFileRequest& request) = 0;
    // The names of all fonts available for the screen, in index order.
    virtual std::vector<std::string> ScreenFonts() = 0;
    virtual void OpenUrl(const std::string& url) = 0;
    // Starts `program` hidden and detached: it outlives this program, runs in its own session
    // without a terminal or window, in `workingFolder`. Throws RuntimeError when it could not
    // be started.
    virtual void StartHiddenProcess(const std::string& program,
                                    const std::vector<std::string>& arguments,
                                    const std::string& workingFolder) = 0;
    // Whether the computer may reach the internet: a configured proxy, a usable default route,
    // or routing tables it cannot read (unknown counts as online; a transfer that then fails
    // says so). Never throws.
    virtual bool IsOnline() = 0;

    // The folder that holds the running executable, without a trailing "/".
    virtual std::string ProgramFolder() = 0;
    // The running executable's own file name, without its folder ("GPW" as shipped). Live
    // Update installs the archive entry of exactly this name and nothing else as the program.
    virtual std::string ProgramFileName() = 0;
    virtual std::string TempFolder() = 0;
    // Where Bug.log and autoupdate.dat go and whether Live Update may replace the program: the
    // one answer for a portable or an installed copy (FileLocations.h).
    virtual FileLocations Locations() = 0;
    // The user's locale settings, as the environment gives them.
    virtual LocaleSettings UserLocale() = 0;
    // The program's arguments as one text: everything after the program's own name.
    virtual std::string CommandLine() = 0;
    virtual LocalDateTime Now() = 0;

    // Unloads the main window (its own unload handling runs).
    virtual void UnloadMainWindow() = 0;
    // Ends the program at once with `exitStatus` (0 after a successful update, 1 on Abort); a
    // test double records the call and returns.
    virtual void EndProgram(int exitStatus) = 0;
};

Platform& CurrentPlatform();
// Installs the platform the program uses; the caller keeps ownership.
void SetCurrentPlatform(Platform* platform);

// The locale settings of the process environment (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
LocaleSettings LocaleSettingsFromEnvironment();

}  // namespace gapwell
