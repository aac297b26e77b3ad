#pragma once

#include <string>

namespace gapwell {

// An exclusive lock on a ledger for a whole read-plan-write, so that runs started in parallel (a
// build system's jobs) take turns: each reads the ledger the one before wrote. The lock is held on
// "LEDGER.lock", a file beside the ledger that is made when missing (with the ledger's folder)
// and never removed, since removing it would let two runs lock two different files. The
// constructor waits until the lock is free; the destructor, or the end of the process, releases
// it. Throws RuntimeError when the lock file cannot be made or locked (a link planted under its
// name is not followed).
class LedgerLock {
  public:
    explicit LedgerLock(const std::string& ledgerPath);
    ~LedgerLock();
    LedgerLock(const LedgerLock&) = delete;
    LedgerLock& operator=(const LedgerLock&) = delete;

  private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// The name of the lock file of the ledger at `ledgerPath`.
inline std::string LedgerLockPath(const std::string& ledgerPath) {
    return ledgerPath + ".lock";
}

}  // namespace gapwell
