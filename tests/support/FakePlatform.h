#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace gapwell {

// Test double of the platform layer: records every call and plays scripted answers.
// Answers queued in taskDialogAnswers / classicAnswers / openFileAnswers are used first to last;
// when a queue is empty the default answer applies. Setting a `fail...` member makes the call
// throw RuntimeError(failNumber, "Simulated failure").
class FakePlatform : public Platform {
  public:
    // Scripted answers.
    std::deque<int> taskDialogAnswers;
    int defaultTaskDialogAnswer = 1;
    std::deque<int> classicAnswers;
    int defaultClassicAnswer = 1;
    std::deque<std::string> openFileAnswers;  // empty text = cancelled
    std::optional<OsVersionInfo> versionEx = OsVersionInfo{10, 0, 19045, 2};
    OsVersionInfo systemVersion{6, 1, 0, 2};
    std::vector<std::string> fonts{"DejaVu Sans", "Tahoma"};
    std::string programFolder = "/tmp";
    std::string programFileName = "GPW";
    std::string tempFolder = "/tmp";
    // Unset: a portable copy in programFolder.
    std::optional<FileLocations> fileLocations;
    LocaleSettings locale{"", "", "", "en_US.UTF-8"};
    std::string commandLine;
    LocalDateTime now{2009, 3, 7, 9, 5, 2};
    std::string clipboardText;
    // When set, StartHiddenProcess really starts the process (after recording the call).
    bool startHiddenProcesses = false;
    bool online = true;

    // Failure switches.
    bool failTaskDialog = false;
    bool failClipboard = false;
    bool failFonts = false;
    bool failHiddenProcess = false;  // StartHiddenProcess records the call, then fails
    int failNumber = 5;

    // Recorded calls.
    std::vector<TaskDialogRequest> taskDialogs;
    struct ClassicCall {
        std::string text;
        std::string title;
        int style;
    };
    std::vector<ClassicCall> classicBoxes;
    std::vector<OpenFileRequest> openFileRequests;
    std::vector<std::string> openedUrls;
    struct HiddenProcessCall {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingFolder;
    };
    std::vector<HiddenProcessCall> hiddenProcesses;
    int beeps = 0;
    int doEventsCalls = 0;
    int clipboardClears = 0;
    int versionExQueries = 0;
    int systemVersionQueries = 0;
    int fontQueries = 0;
    int unloadMainWindowCalls = 0;
    int endProgramCalls = 0;
    int lastExitStatus = -1;  // the status of the last EndProgram call

    int TaskDialog(const TaskDialogRequest& request) override;
    int ClassicMessageBox(const std::string& text, const std::string& title, int style) override;
    std::optional<OsVersionInfo> GetVersionEx() override;
    OsVersionInfo SystemVersion() override;
    void Beep() override { ++beeps; }
    void DoEvents() override { ++doEventsCalls; }
    void ClearClipboard() override;
    void SetClipboardText(const std::string& text) override;
    std::string GetOpenFileName(const OpenFileRequest& request) override;
    std::vector<std::string> ScreenFonts() override;
    void OpenUrl(const std::string& url) override { openedUrls.push_back(url); }
    void StartHiddenProcess(const std::string& program, const std::vector<std::string>& arguments,
                            const std::string& workingFolder) override;
    bool IsOnline() override { return online; }
    std::string ProgramFolder() override { return programFolder; }
    std::string ProgramFileName() override { return programFileName; }
    std::string TempFolder() override { return tempFolder; }
    FileLocations Locations() override {
        return fileLocations.value_or(PortableLocations(programFolder));
    }
    LocaleSettings UserLocale() override { return locale; }
    std::string CommandLine() override { return commandLine; }
    LocalDateTime Now() override { return now; }
    void UnloadMainWindow() override { ++unloadMainWindowCalls; }
    void EndProgram(int exitStatus) override {
        ++endProgramCalls;
        lastExitStatus = exitStatus;
    }
};

}  // namespace gapwell
