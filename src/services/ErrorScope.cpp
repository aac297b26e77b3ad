#include "services/ErrorScope.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#include "base/RuntimeError.h"
#include "services/modErrorHandler.h"

namespace gapwell {

namespace {

// Number given to failures that carry none of their own (a foreign exception, or a
// RuntimeError built with 0, which would otherwise read as "nothing pending" and vanish).
constexpr int kUnnumberedFailure = EIO;

// Runs the step and makes its failure pending; returns whether it failed.
bool StepFailed(const std::function<void()>& step) {
    try {
        step();
        return false;
    } catch (const RuntimeError& error) {
        const int number = error.Number() != 0 ? error.Number() : kUnnumberedFailure;
        SetPendingError(number, error.Description());
    } catch (const std::bad_alloc&) {
        SetPendingError(ENOMEM, std::strerror(ENOMEM));
    } catch (const std::exception& error) {
        SetPendingError(kUnnumberedFailure, error.what());
    }
    return true;
}

}  // namespace

ErrorScope::ErrorScope(std::string procName, std::string moduleName)
    : procName_(std::move(procName)), moduleName_(std::move(moduleName)) {}

bool ErrorScope::Step(const std::function<void()>& step) {
    if (aborted_) {
        return false;
    }
    while (StepFailed(step)) {
        const int answer = HandleError(procName_, moduleName_);
        if (answer == kAnswerAbort) {
            aborted_ = true;
            AbortProgram();
            return false;
        }
        if (answer != kAnswerRetry) {
            break;
        }
    }
    return true;
}

}  // namespace gapwell
