#include "support/RenameKiller.h"

#include <dlfcn.h>
#include <signal.h>

namespace {

int renamesLeft = 0;

}  // namespace

// Stands in for the C library's renameat in the program it is linked into.
extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    using Rename = int (*)(int, const char*, int, const char*);
    static const auto real = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "renameat"));
    if (renamesLeft > 0 && --renamesLeft == 0) {
        ::raise(SIGKILL);
    }
    return real(fromFolder, from, toFolder, to);
}

namespace gapwell::test {

void KillBeforeRename(int count) {
    renamesLeft = count;
}

}  // namespace gapwell::test
