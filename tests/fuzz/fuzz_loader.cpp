// Fuzz target for the level loader: any bytes at all, read as a level file.
// A file may be refused, but loading and deleting the level must never crash,
// leak, hang or touch memory it does not own.
#include "level.h"
#include "level_file.h"
#include "main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Level* lv = new Level;
    lv->load(writeLevelFile(data, size));
    delete lv;
    return 0;
}
