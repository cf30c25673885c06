// A solution script: the actions that solve one level, read from a short
// hand-written text file with one action per line and '#' comments.
#ifndef PLAY_SCRIPT_H
#define PLAY_SCRIPT_H

#include <string>
#include <vector>

struct Action {
    enum Kind { Walk, Drop, Climb, Grab, Push, Wait, WaitStill, Exit };

    Kind kind;
    int arg;           // column, row, tick count, or push direction (-1 or 1)
    int line;          // 1-based, in the script file
    std::string text;  // the action as written, for messages
};

// What a designer notes in a script besides the actions. A line "showcase"
// marks a level that only shows one kind of domino at work: its chain is set,
// and one push with no carry solves it. The level checker holds such a level
// to that and lets its special dominoes be ones a standard domino could
// replace; the replay tool plays the script as if the line were not there.
// A line "timing" says that timing is the level's idea: a grab or a race
// during the running chain is the puzzle, so the slack tool and the checker
// hold it to a lower limit of slack than other levels (see timing.h).
struct ScriptMarks {
    bool showcase = false;
    bool timing = false;
};

// Reads the script at path. False on a missing file or a line that is neither
// an action nor a mark, with error naming the file and line.
bool readScript(const std::string& path, std::vector<Action>& script, ScriptMarks& marks, std::string& error);
// The same for a reader that has no use for the marks.
bool readScript(const std::string& path, std::vector<Action>& script, std::string& error);

// The carries a script makes, counted as the solver counts them: its grabs in
// pairs (a pick-up and a set-down), a last odd one being a pick-up after the
// push whose domino the player keeps.
int carriesOf(const std::vector<Action>& script);

#endif
