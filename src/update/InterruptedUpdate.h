#pragma once

#include <string>

namespace gapwell {

// What an installation that did not end (a crash, a kill, a power cut, an Abort) left in the
// updates folder `updatesFolderName` of the program folder `programFolder`, completed at the
// start of a portable copy. Each work folder of an installation (".install-*") is:
// - left alone while the process its journal names still runs (it is still installing, or its
//   hand-over script waits for it);
// - removed when it holds no journal (nothing was moved, or everything was put back) or when the
//   hand-over gave the new program its name (the installation is complete);
// - otherwise undone by its journal (UndoMoves): the old files back, the new ones out, the work
//   folder gone, and one Bug.log record saying that an interrupted update was undone. What
//   cannot be put back stays, with its journal, for the next start, and Bug.log says where.
// With nothing to do it costs one listing of the updates folder. Never throws.
void CompleteInterruptedUpdates(const std::string& programFolder,
                                const std::string& updatesFolderName);

}  // namespace gapwell
