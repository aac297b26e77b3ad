#pragma once

#include <string>
#include <vector>

namespace gapwell {

// Moves files into a folder so that the moves can be undone: whatever a move replaces or
// removes is first set aside in a folder of its own, and PutBack reverses every move, last
// first. All three folders are descriptors on one file system; names are never followed as
// links. A folder in the target is never moved.
class FolderMove {
  public:
    FolderMove(int target, int incoming, int aside)
        : target_(target), incoming_(incoming), aside_(aside) {}

    // Moves `name` out of the target into the aside folder. Throws RuntimeError.
    void SetAside(const std::string& name);
    // Sets aside what the target holds under `name`, if anything, then moves `name` from the
    // incoming folder into the target. Throws RuntimeError.
    void BringIn(const std::string& name);
    // Reverses every move made, last first. Returns false when one could not be reversed (it
    // goes on with the others); what was set aside then stays in the aside folder.
    bool PutBack();

  private:
    struct Move {
        int from;
        int to;
        std::string name;
    };
    void MoveEntry(int from, int to, const std::string& name);

    int target_;
    int incoming_;
    int aside_;
    std::vector<Move> done_;
};

}  // namespace gapwell
