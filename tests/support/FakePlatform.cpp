#include "support/FakePlatform.h"

#include "base/RuntimeError.h"
#include "platform/DetachedProcess.h"

namespace gapwell {

namespace {
int NextAnswer(std::deque<int>& queue, int fallback) {
    if (queue.empty()) {
        return fallback;
    }
    const int answer = queue.front();
    queue.pop_front();
    return answer;
}
}  // namespace

int FakePlatform::TaskDialog(const TaskDialogRequest& request) {
    taskDialogs.push_back(request);
    if (failTaskDialog) {
        throw RuntimeError(failNumber, "Simulated failure");
    }
    return NextAnswer(taskDialogAnswers, defaultTaskDialogAnswer);
}

int FakePlatform::ClassicMessageBox(const std::string& text, const std::string& title, int style) {
    classicBoxes.push_back({text, title, style});
    return NextAnswer(classicAnswers, defaultClassicAnswer);
}

std::optional<OsVersionInfo> FakePlatform::GetVersionEx() {
    ++versionExQueries;
    return versionEx;
}

OsVersionInfo FakePlatform::SystemVersion() {
    ++systemVersionQueries;
    return systemVersion;
}

void FakePlatform::ClearClipboard() {
    ++clipboardClears;
    if (failClipboard) {
        throw RuntimeError(failNumber, "Simulated failure");
    }
    clipboardText.clear();
}

void FakePlatform::SetClipboardText(const std::string& text) {
    if (failClipboard) {
        throw RuntimeError(failNumber, "Simulated failure");
    }
    clipboardText = text;
}

std::string FakePlatform::GetOpenFileName(const OpenFileRequest& request) {
    openFileRequests.push_back(request);
    if (openFileAnswers.empty()) {
        return {};
    }
    std::string answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

void FakePlatform::StartHiddenProcess(const std::string& program,
                                      const std::vector<std::string>& arguments,
                                      const std::string& workingFolder) {
    hiddenProcesses.push_back({program, arguments, workingFolder});
    if (failHiddenProcess) {
        throw RuntimeError(failNumber, "Simulated failure");
    }
    if (startHiddenProcesses) {
        StartDetachedProcess(program, arguments, workingFolder);
    }
}

std::vector<std::string> FakePlatform::ScreenFonts() {
    ++fontQueries;
    if (failFonts) {
        throw RuntimeError(failNumber, "Simulated failure");
    }
    return fonts;
}

}  // namespace gapwell
