// Writers killed mid-write, for the tests of the files that must survive it.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace quintavia {

struct KilledWrites {
    int rounds = 0;
    std::vector<int> seen;  // how often the file was found as each whole version
    std::string failure;    // empty, or what went wrong (a torn file, a writer that failed)
};

// Forks a writer that calls `write(0)`, `write(1)`, ... and tells of each write it finished;
// waits for one to three of them, then kills it a random while later, somewhere in the next.
// After each kill `version()` names the whole version the file holds (0 to versions - 1), or
// -1 for anything else. Goes on for `minRounds` rounds and until each version was seen, or
// until the first failure.
inline KilledWrites KillWritersMidWrite(const std::function<bool(int)>& write,
                                        const std::function<int()>& version, int versions,
                                        int minRounds = 60, int maxRounds = 2000) {
    KilledWrites out;
    out.seen.assign(static_cast<std::size_t>(versions), 0);
    std::mt19937 random(9);
    std::uniform_int_distribution<int> finished(1, 3), delayUs(0, 5000);
    const auto allSeen = [&] {
        for (int n : out.seen)
            if (n == 0) return false;
        return true;
    };
    for (; out.rounds < maxRounds && (out.rounds < minRounds || !allSeen()); ++out.rounds) {
        int told[2];
        if (::pipe(told) != 0) return out.failure = "no pipe", out;
        const pid_t writer = ::fork();
        if (writer < 0) return out.failure = "no fork", out;
        if (writer == 0) {
            ::close(told[0]);
            for (int i = 0; i < 100000; ++i)
                if (::write(told[1], write(i) ? "w" : "f", 1) != 1) ::_exit(1);
            ::_exit(0);
        }
        ::close(told[1]);
        for (int wanted = finished(random); wanted > 0 && out.failure.empty(); --wanted) {
            char byte = 0;
            if (::read(told[0], &byte, 1) != 1 || byte != 'w')
                out.failure = "a write failed in round " + std::to_string(out.rounds);
        }
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ::close(told[0]);
        if (!out.failure.empty()) return out;
        if (!WIFSIGNALED(status))
            return out.failure = "the writer ended in round " + std::to_string(out.rounds), out;
        const int now = version();
        if (now < 0 || now >= versions)
            return out.failure = "a torn file in round " + std::to_string(out.rounds), out;
        ++out.seen[static_cast<std::size_t>(now)];
    }
    return out;
}

}  // namespace quintavia
