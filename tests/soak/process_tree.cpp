#include "process_tree.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace quintavia::soak {
namespace {

struct Stat {
    pid_t parent = 0;
    std::string command;
    long long cpuTicks = 0;
};

std::optional<Stat> ReadStat(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    // The command name stands in parentheses and may itself hold blanks and parentheses.
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::nullopt;
    Stat stat;
    stat.command = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 1));
    // Fields from the third on: state, ppid, ..., utime (14th), stime (15th).
    std::vector<std::string> fields{std::istream_iterator<std::string>(rest), {}};
    if (fields.size() < 13) return std::nullopt;
    try {
        stat.parent = static_cast<pid_t>(std::stol(fields[1]));
        stat.cpuTicks = std::stoll(fields[11]) + std::stoll(fields[12]);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return stat;
}

// The engine's helper processes share one executable and say what they are in --type=.
std::string Kind(pid_t pid, const std::string& command) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(in, argument, '\0'))
        if (argument.rfind("--type=", 0) == 0) return command + " " + argument.substr(7);
    return command;
}

// Rss and Pss of the whole process, in KiB; false when the process is gone.
bool ReadMemory(pid_t pid, ProcessUsage& usage) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    if (!in) return false;
    // The first line names the rolled-up range; then one "Key: value kB" line each.
    std::string line;
    bool any = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        long long kib = 0;
        if (!(fields >> key >> kib)) continue;
        if (key == "Rss:") {
            usage.rssKib = kib;
            any = true;
        } else if (key == "Pss:") {
            usage.pssKib = kib;
        }
    }
    return any;
}

}  // namespace

TreeUsage MeasureTree(pid_t root) {
    std::map<pid_t, Stat> all;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0]))) continue;
        const auto pid = static_cast<pid_t>(std::stol(name));
        if (auto stat = ReadStat(pid)) all.emplace(pid, std::move(*stat));
    }

    TreeUsage tree;
    if (!all.contains(root)) return tree;
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    std::vector<pid_t> queue{root};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const pid_t pid = queue[next];
        const Stat& stat = all.at(pid);
        ProcessUsage usage{.pid = pid, .parent = stat.parent, .kind = Kind(pid, stat.command)};
        usage.cpuMs = stat.cpuTicks * 1000 / ticksPerSecond;
        if (ReadMemory(pid, usage)) {
            tree.rssKib += usage.rssKib;
            tree.pssKib += usage.pssKib;
            tree.cpuMs += usage.cpuMs;
            tree.processes.push_back(std::move(usage));
        }
        for (const auto& [child, childStat] : all)
            if (childStat.parent == pid) queue.push_back(child);
    }
    return tree;
}

}  // namespace quintavia::soak
