#include "services/modErrorHandler.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "base/Version.h"
#include "platform/Platform.h"
#include "services/LogFile.h"
#include "services/RecordFields.h"
#include "services/modMsgBox.h"

namespace gapwell {

namespace {

// Abort/Retry/Ignore, critical icon, second button as default.
constexpr int kReportStyle = 0x112;

PendingError pendingError;
// Computed on the first report of the run and kept.
std::string systemVersionText;
// How many report boxes are up (a report box runs its own message loop, so another failure can
// be reported meanwhile).
int reportsShowing = 0;

class ReportShowingGuard {
  public:
    ReportShowingGuard() { ++reportsShowing; }
    ~ReportShowingGuard() { --reportsShowing; }
    ReportShowingGuard(const ReportShowingGuard&) = delete;
    ReportShowingGuard& operator=(const ReportShowingGuard&) = delete;
};

// The message routine failing while it shows a report would report its own failure with itself
// again, without end; such a failure is logged (answer 0) but not shown.
bool MustNotShow(const std::string& moduleName) {
    return reportsShowing > 0 && moduleName == "modMsgBox";
}

// Runs one step of a procedure whose failures are skipped silently.
void IgnoringFailure(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
    }
}

std::string ThreePartVersion(int major, int minor, int third) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(third);
}

std::string DateField(const LocalDateTime& now) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", now.year, now.month, now.day);
    return text;
}

std::string TimeField(const LocalDateTime& now) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d", now.hour, now.minute, now.second);
    return text;
}

// One record is one line of nine fields, each escaped (RecordFields.h): a "|", CR or LF in a
// description (an archive entry's name, a server's text) can neither add a field nor a record.
std::string AsLogLine(std::initializer_list<std::string_view> fields) {
    std::string line;
    const char* separator = "";
    for (const std::string_view field : fields) {
        line += separator + EscapeRecordField(field);
        separator = "|";
    }
    return line + "\n";
}

// Appends the line to `folder`/Bug.log, creating the folder first when it is missing (an installed
// copy's state folder).
void AppendToLog(const std::string& folder, const std::string& line) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    AppendLogLine(folder + "/" + kBugLogName, line);
}

}  // namespace

void SetPendingError(int number, const std::string& description) {
    pendingError = PendingError{number, description};
}

int HandleError(const std::string& procName, const std::string& moduleName) {
    const PendingError error = std::exchange(pendingError, PendingError{});
    if (error.number == 0) {
        return kAnswerNone;
    }
    int answer = kAnswerNone;
    if (!MustNotShow(moduleName)) {
        const ReportShowingGuard guard;
        answer = ShowMessage(error.description + "." + "\r\n" + procName + "@" + moduleName,
                             kReportStyle);
    }
    LogError(procName, error.number, moduleName, error.description, answer);
    return answer;
}

void LogError(const std::string& procName, int errorNumber, const std::string& moduleName,
              const std::string& description, int answer) {
    std::string date;
    std::string time;
    IgnoringFailure([&] {
        const LocalDateTime now = CurrentPlatform().Now();
        date = DateField(now);
        time = TimeField(now);
    });
    IgnoringFailure([] {
        if (systemVersionText.empty()) {
            const OsVersionInfo system = CurrentPlatform().SystemVersion();
            systemVersionText = ThreePartVersion(system.major, system.minor, system.build);
        }
    });
    IgnoringFailure([&] {
        const std::string errorNumberText = std::to_string(errorNumber);
        const std::string answerText = std::to_string(answer);
        AppendToLog(CurrentPlatform().Locations().logFolder,
                    AsLogLine({date, time, systemVersionText, version::kVersionText, procName,
                               errorNumberText, moduleName, description, answerText}));
    });
}

void AbortProgram() {
    IgnoringFailure([] { CurrentPlatform().UnloadMainWindow(); });
    IgnoringFailure([] { CurrentPlatform().EndProgram(EXIT_FAILURE); });
}

void ForgetVersionTexts() {
    systemVersionText.clear();
}

}  // namespace gapwell
