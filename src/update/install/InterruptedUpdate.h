#pragma once

#include <string>

namespace gapwell {

// What an installation that did not end (a crash, a kill, a power cut, an Abort) left in the
// updates folder "Updates" of the program folder `programFolder`, completed at the start of a
// portable copy; the folder `olderFolderName` (the translated name an older version used) is
// read the same way. Each work folder of an installation (".install-*") is:
// - left alone while its installer or hand-over holds the installation's lock (InstallLock.h),
//   with one Bug.log record saying so;
// - left alone, with one Bug.log record and one message naming it, when it or its id file or
//   journal is not exactly what this user's installer wrote and sealed (InstallJournal.h);
// - removed when its journal shows the installation complete: every move made and the program
//   file in place byte for byte the new one (with the hand-over script, should it be left);
// - otherwise undone by its journal (UndoMoves): the old files back, the new ones out, and,
//   when it moved anything, one Bug.log record saying so. The work folder goes only when every
//   file set aside is back; otherwise it stays for the next start, with one Bug.log record and
//   one message naming it.
// Nothing is ever deleted in the program folder but a hand-over script the installation brought
// in. An updates folder that is a link or anything but a real folder is reported the same way.
// With nothing to do it costs one listing of each updates folder. Never throws.
void CompleteInterruptedUpdates(const std::string& programFolder,
                                const std::string& olderFolderName);

}  // namespace gapwell
