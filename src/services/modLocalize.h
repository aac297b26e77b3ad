#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gapwell {

// The text of a string id in the user's language. A missing or empty entry is reported as
// "LoadString" in "modLocalize"; without a retry the result is an empty text.
std::string LoadString(int id);

// The text of a string id in the user's language, or nothing when the entry is missing or
// empty; reports nothing (Localize keeps the design text then).
std::optional<std::string> TryLoadString(int id);

// Whether a screen font whose name contains "Calibri" exists. The fonts are examined once per
// process; a failure while examining them is reported as "Localize" in "modLocalize".
bool CalibriInstalled();

// Whether a list of font names holds one that contains "Calibri" (exact case, anywhere in the
// name, so "Calibri Light" counts).
bool HasCalibriFont(const std::vector<std::string>& fontNames);

// The font check's state: examines the screen fonts on the first call and remembers the
// answer; CalibriInstalled keeps one of these for the whole process.
class CalibriFontCheck {
  public:
    bool Installed();

  private:
    bool examined_ = false;
    bool calibri_ = false;
};

// A string id read leniently from a tag: its leading decimal digits, 0 when there are none
// (or when they name no 32-bit id).
int ReadStringId(const std::string& tag);

}  // namespace gapwell
