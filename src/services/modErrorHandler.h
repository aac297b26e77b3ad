#pragma once

#include <string>

namespace gapwell {

// The error log's file name, in the log folder.
inline constexpr char kBugLogName[] = "Bug.log";

// Answers of the error report (classic message-box results).
inline constexpr int kAnswerNone = 0;
inline constexpr int kAnswerAbort = 3;
inline constexpr int kAnswerRetry = 4;
inline constexpr int kAnswerIgnore = 5;

// The failure being reported. Number 0 means that none is pending.
struct PendingError {
    int number = 0;
    std::string description;
};

// Makes a failure pending (the step helper does this when a step throws).
void SetPendingError(int number, const std::string& description);

// Takes and clears the pending failure, shows it with Abort/Retry/Ignore, appends a record to
// Bug.log and returns the answer (3, 4 or 5); returns 0 at once when nothing is pending.
int HandleError(const std::string& procName, const std::string& moduleName);

// Appends one record to Bug.log in the log folder (Platform::Locations); every failure inside is
// ignored.
void LogError(const std::string& procName, int errorNumber, const std::string& moduleName,
              const std::string& description, int answer);

// Unloads the main window and ends the program; every failure inside is ignored.
void AbortProgram();

// Forgets the system version text that the first report of a run keeps, so that tests can play
// several systems in one process.
void ForgetVersionTexts();

}  // namespace gapwell
