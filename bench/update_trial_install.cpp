// One installation for the update crash trials (update_crash_trials.sh), on the platform double:
// installs FOLDER/Updates/GPW.zip into FOLDER, whose program is GPW, starts the real hand-over
// script and ends. With KILL_BEFORE_RENAME=N in the environment it is killed before its N-th
// rename instead; exit status 0 when the hand-over was started, 2 when not.
//   update_trial_install FOLDER
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FakePlatform.h"
#include "support/RenameKiller.h"
#include "update/install/DoUpdate.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: update_trial_install FOLDER\n");
        return 2;
    }
    const char* kill = std::getenv("KILL_BEFORE_RENAME");
    gapwell::test::KillBeforeRename(kill != nullptr ? std::atoi(kill) : 0);
    gapwell::FakePlatform platform;
    platform.programFolder = argv[1];
    platform.programFileName = "GPW";
    platform.startHiddenProcesses = true;
    gapwell::SetCurrentPlatform(&platform);
    const std::string updates = std::string(argv[1]) + "/Updates/";
    return gapwell::DoUpdate(updates + "GPW.zip", updates) ? 0 : 2;
}
