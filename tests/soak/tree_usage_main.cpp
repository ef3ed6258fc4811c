// Prints what a process and its descendants use, for scripts that compare programs:
//   tree_usage PID [--each]
// One line "processes=N rss_kib=N pss_kib=N cpu_ms=N"; with --each, a line per process first.
#include <cstdio>
#include <cstring>
#include <string>

#include "process_tree.h"

int main(int argc, char** argv) {
    const bool each = argc == 3 && std::strcmp(argv[2], "--each") == 0;
    if (argc < 2 || argc > 3 || (argc == 3 && !each)) {
        std::fprintf(stderr, "usage: tree_usage PID [--each]\n");
        return 2;
    }
    pid_t root = 0;
    try {
        root = static_cast<pid_t>(std::stol(argv[1]));
    } catch (const std::exception&) {
        std::fprintf(stderr, "tree_usage: not a process id: %s\n", argv[1]);
        return 2;
    }
    const quintavia::soak::TreeUsage tree = quintavia::soak::MeasureTree(root);
    if (tree.processes.empty()) {
        std::fprintf(stderr, "tree_usage: no process %d\n", static_cast<int>(root));
        return 1;
    }
    if (each)
        for (const auto& p : tree.processes)
            std::printf("  %7d (of %7d)  rss %8lld KiB  pss %8lld KiB  cpu %8lld ms  %s\n",
                        static_cast<int>(p.pid), static_cast<int>(p.parent), p.rssKib, p.pssKib,
                        p.cpuMs, p.kind.c_str());
    std::printf("processes=%zu rss_kib=%lld pss_kib=%lld cpu_ms=%lld\n", tree.processes.size(),
                tree.rssKib, tree.pssKib, tree.cpuMs);
    return 0;
}
