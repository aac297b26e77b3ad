#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "search/BuildFiles.h"

class QLineEdit;
class QWidget;

namespace gapwell {

// What the map shows: a ROM, its filler byte, the needed length and the marks of known data.
struct FreeSpaceMapInputs {
    std::string romPath;
    std::uint8_t filler = 0xFF;
    std::int64_t needed = 1;
    std::vector<KnownMark> known;
};

// How the map meets the window that opens it.
struct FreeSpaceMapLink {
    // Read anew whenever the map refreshes.
    std::function<FreeSpaceMapInputs()> inputs;
    // A change of their text refreshes the map.
    std::vector<QLineEdit*> inputFields;
    // A usable run was clicked: search from this offset.
    std::function<void(std::int64_t)> searchFrom;
};

// The Edit menu's "Free-space map..." command: creates the map window, owned by `owner`, and
// shows it modeless; when it is already open, refreshes it and brings it forward.
void ShowFreeSpaceMap(QWidget* owner, FreeSpaceMapLink link);

}  // namespace gapwell
