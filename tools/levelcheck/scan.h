// The level file format checked character by character, so that a designer
// learns where a file goes wrong and what was expected there. The game's own
// loader stays terse; this scan reads the same format with the same rules and
// the loader's own tables of cell characters and domino letters.
#ifndef LEVELCHECK_SCAN_H
#define LEVELCHECK_SCAN_H

#include <string>

struct ScanResult {
    bool ok = true;
    int line = 0;  // 1-based position of the first fault
    int column = 0;
    std::string message;  // what was found and what was expected
    int wid = 0, hei = 0;
    int ix = 0, iy = 0, ox = 0, oy = 0;
};

ScanResult scanLevel(const std::string& text);

#endif
