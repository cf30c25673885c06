#include "parallel.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A result as text: numbers as words, strings as their length, a colon and
// their bytes.
class Writer {
public:
    Writer& operator<<(long n)
    {
        text += std::to_string(n) + " ";
        return *this;
    }
    Writer& operator<<(const std::string& s)
    {
        text += std::to_string(s.size()) + ":" + s;
        return *this;
    }
    std::string text;
};

// Reads what a Writer wrote; ok turns false at anything else, as from a
// worker that died while writing.
class Reader {
public:
    explicit Reader(const std::string& t) : text(t) {}
    Reader& operator>>(int& n)
    {
        n = static_cast<int>(number(' '));
        return *this;
    }
    Reader& operator>>(double& d)
    {
        d = number(' ') / 1000.0;
        return *this;
    }
    Reader& operator>>(bool& b)
    {
        b = number(' ') != 0;
        return *this;
    }
    Reader& operator>>(std::string& s)
    {
        const long length = number(':');
        if (!ok || length < 0 || at + length > text.size()) {
            ok = false;
            return *this;
        }
        s = text.substr(at, length);
        at += length;
        return *this;
    }
    bool ok = true;

private:
    const std::string& text;
    std::size_t at = 0;

    long number(char end)
    {
        const std::size_t stop = text.find(end, at);
        if (!ok || stop == std::string::npos || stop == at) {
            ok = false;
            return 0;
        }
        char* last = nullptr;
        const long v = std::strtol(text.c_str() + at, &last, 10);
        ok = last == text.c_str() + stop;
        at = stop + 1;
        return v;
    }
};

std::string encode(const LevelResult& r)
{
    Writer w;
    w << r.path << r.error << r.limit << r.minimum << r.solutions << r.unverified << r.script << r.summary
      << r.ticks << r.plays << static_cast<long>(r.seconds * 1000) << static_cast<long>(r.every.size());
    for (const std::string& e : r.every)
        w << e;
    w << static_cast<long>(r.kinds.size());
    for (const KindCheck& k : r.kinds)
        w << std::string(1, k.kind) << k.column << k.row << static_cast<long>(k.replaceable) << k.carries
          << k.script;
    return w.text;
}

bool decode(const std::string& text, LevelResult& r)
{
    Reader in(text);
    int every = 0, kinds = 0;
    in >> r.path >> r.error >> r.limit >> r.minimum >> r.solutions >> r.unverified >> r.script >> r.summary
        >> r.ticks >> r.plays >> r.seconds >> every;
    for (int i = 0; i < every && in.ok; i++) {
        std::string e;
        in >> e;
        r.every.push_back(e);
    }
    in >> kinds;
    for (int i = 0; i < kinds && in.ok; i++) {
        KindCheck k;
        std::string letter;
        in >> letter >> k.column >> k.row >> k.replaceable >> k.carries >> k.script;
        k.kind = letter.empty() ? '?' : letter[0];
        r.kinds.push_back(k);
    }
    return in.ok;
}

struct Worker {
    pid_t pid;
    int fd;
    std::size_t index;
    std::string data;
};

void writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

Worker spawn(const std::string& path, std::size_t index, const SolveLimits& limits)
{
    int ends[2];
    if (pipe(ends) != 0)
        return {-1, -1, index, ""};
    fflush(stdout);
    fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        writeAll(ends[1], encode(solveLevel(path, limits)));
        _exit(0);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return {-1, -1, index, ""};
    }
    return {pid, ends[0], index, ""};
}

LevelResult collect(Worker& w, const std::string& path)
{
    int status = 0;
    if (w.pid >= 0) {
        close(w.fd);
        waitpid(w.pid, &status, 0);
    }
    LevelResult r;
    if (w.pid < 0 || !decode(w.data, r)) {
        r = LevelResult{};
        r.path = path;
        std::ostringstream why;
        why << "the solver's worker failed";
        if (WIFSIGNALED(status))
            why << " (signal " << WTERMSIG(status) << ")";
        r.error = why.str();
    }
    return r;
}

}  // namespace

void solveInParallel(const std::vector<std::string>& paths, const SolveLimits& limits, int jobs,
                     const std::function<void(const LevelResult&)>& done)
{
    std::vector<Worker> running;
    std::map<std::size_t, LevelResult> waiting;
    std::size_t next = 0, reported = 0;
    while (reported < paths.size()) {
        while (static_cast<int>(running.size()) < std::max(1, jobs) && next < paths.size()) {
            Worker w = spawn(paths[next], next, limits);
            if (w.pid < 0)
                waiting[next] = collect(w, paths[next]);
            else
                running.push_back(w);
            next++;
        }
        std::vector<pollfd> fds;
        for (const Worker& w : running)
            fds.push_back({w.fd, POLLIN, 0});
        if (!fds.empty() && poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            // Nothing more can be heard from the workers: each level fails.
            for (Worker& w : running) {
                kill(w.pid, SIGKILL);
                waiting[w.index] = collect(w, paths[w.index]);
            }
            running.clear();
        }
        for (std::size_t i = running.size(); i-- > 0;) {
            Worker& w = running[i];
            char buffer[65536];
            if (!fds[i].revents)
                continue;
            const ssize_t n = read(w.fd, buffer, sizeof buffer);
            if (n > 0) {
                w.data.append(buffer, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            waiting[w.index] = collect(w, paths[w.index]);
            running.erase(running.begin() + i);
        }
        while (waiting.count(reported)) {
            done(waiting[reported]);
            waiting.erase(reported);
            reported++;
        }
    }
}
