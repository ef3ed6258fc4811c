// What a process and all its descendants use, read from /proc: the program's own process and
// the browser engine's helper processes together.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quintavia::soak {

struct ProcessUsage {
    pid_t pid = 0;
    pid_t parent = 0;
    std::string kind;  // the engine's --type= switch, or the command name
    long long rssKib = 0;
    long long pssKib = 0;  // shared pages split among the processes that map them
    long long cpuMs = 0;   // user and system time so far
};

struct TreeUsage {
    std::vector<ProcessUsage> processes;  // the root first
    long long rssKib = 0;                 // counts a page shared by several processes once for each
    long long pssKib = 0;                 // counts every page once in all
    long long cpuMs = 0;
};

// Empty when `root` does not exist. A process that ends while it is read is left out.
TreeUsage MeasureTree(pid_t root);

}  // namespace quintavia::soak
