// Fuzz support. The game reads levels by path, so each input is written to
// one file kept in memory (a memfd), reached through /proc/self/fd, and
// reused for every input of the process: nothing is written to disk. The
// play fuzzer's game reads levels/1 from its working directory: it plays in
// a private directory under TMPDIR whose levels/1 leads to that file, and
// only while it plays, so that every path libFuzzer is given keeps the
// meaning it has where the fuzzer was started.
#ifndef LEVEL_FILE_H
#define LEVEL_FILE_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Replaces the file's contents with the given bytes; returns its path.
const char* writeLevelFile(const uint8_t* data, size_t size);

// The working directory in which levels/1 is the level file, from the
// constructor to the destructor.
class PlayDirectory {
public:
    PlayDirectory();
    ~PlayDirectory();
    PlayDirectory(const PlayDirectory&) = delete;
    PlayDirectory& operator=(const PlayDirectory&) = delete;

private:
    int home;  // the fuzzer's own working directory
};

// For LLVMFuzzerInitialize of a fuzzer that plays in the play directory:
// libFuzzer writes a crash, timeout or out-of-memory file while an input
// runs, so its artifact paths are made absolute against the directory the
// fuzzer was started in (the default, that directory itself, included).
// Each flag of defaults ("-name=value") is added unless the command line
// gives that flag.
void prepareArguments(int* argc, char*** argv, std::initializer_list<const char*> defaults);

#endif
