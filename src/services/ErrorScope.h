#pragma once

#include <functional>
#include <string>

namespace gapwell {

// Runs a reporting procedure's body as steps. A step that throws (RuntimeError, or any other
// std::exception) is reported through HandleError with the procedure's and module's names:
// Retry runs the same step again, Ignore (or 0) goes on with the next step, Abort calls
// AbortProgram, after which no further step of the procedure runs.
//
//     ErrorScope scope("txtOffset_Change", "frmMain");
//     scope.Step([&] { length = RomLength(m_FileName); });
//     scope.Step([&] { ... });
class ErrorScope {
  public:
    ErrorScope(std::string procName, std::string moduleName);

    // Returns false when the step (or an earlier one) ended in Abort: the procedure leaves.
    bool Step(const std::function<void()>& step);
    bool Aborted() const { return aborted_; }

  private:
    std::string procName_;
    std::string moduleName_;
    bool aborted_ = false;
};

}  // namespace gapwell
