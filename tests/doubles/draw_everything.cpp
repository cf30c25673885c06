// Linked into a test build of the game or of the replay tool: every cell is
// drawn, seen or not, so that the frames the game culls can be held against
// frames that skip nothing. The game itself has no such switch.
#include "view.h"

namespace {

[[maybe_unused]] const bool drawsEverything = (View::everything = true);

}  // namespace
