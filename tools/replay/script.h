// A solution script: the actions that solve one level, read from a short
// hand-written text file with one action per line and '#' comments.
#ifndef REPLAY_SCRIPT_H
#define REPLAY_SCRIPT_H

#include <string>
#include <vector>

struct Action {
    enum Kind { Walk, Drop, Climb, Grab, Push, Wait, WaitStill, Exit };

    Kind kind;
    int arg;           // column, row, tick count, or push direction (-1 or 1)
    int line;          // 1-based, in the script file
    std::string text;  // the action as written, for messages
};

// Reads the script at path. False on a missing file or a line that is not an
// action, with error naming the file and line.
bool readScript(const std::string& path, std::vector<Action>& script, std::string& error);

#endif
