// What the blocking costs: compiling Debian's lists as the program does at start-up (read from
// disk included), the memory they then take, the public suffixes' read, and one request's
// match against them. The start-up compile runs beside the engine's own start, which takes a
// second and more; a request's match must stay in microseconds.
//   block_list_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <QFile>
#include <cstdio>

#include "store/block_list_files.h"
#include "store/public_suffix_file.h"

namespace {

using quintavia::BlockedRequest;
using quintavia::LoadBlockLists;
using quintavia::RequestKind;

// Resident memory in KiB, as the kernel counts it.
long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLong();
    return -1;
}

void CompileTheLists(benchmark::State& state) {
    qsizetype rules = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const quintavia::LoadedBlockList loaded = LoadBlockLists();
        rules = loaded.list.ruleCount();
        bytes = loaded.bytes;
        benchmark::DoNotOptimize(rules);
    }
    state.counters["rules"] = static_cast<double>(rules);
    state.counters["MB read"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(CompileTheLists)->Unit(benchmark::kMillisecond);

void ReadThePublicSuffixes(benchmark::State& state) {
    for (auto _ : state) {
        QFile file(QString::fromLatin1(quintavia::kPublicSuffixPath));
        if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("no list");
        const auto list = quintavia::PublicSuffixes::Parse(QString::fromUtf8(file.readAll()));
        benchmark::DoNotOptimize(list.isEmpty());
    }
}
BENCHMARK(ReadThePublicSuffixes)->Unit(benchmark::kMillisecond);

void MatchARequest(benchmark::State& state) {
    static const quintavia::LoadedBlockList loaded = LoadBlockLists();
    const quintavia::PublicSuffixes& suffixes = quintavia::SystemPublicSuffixes();
    const BlockedRequest requests[] = {
        {"www.google-analytics.com", "/analytics.js", "www.repubblica.it", RequestKind::Script},
        {"static.cdn.a.b.c.example.com", "/img/logo.png?v=3", "www.indeed.it", RequestKind::Image},
        {"securepubads.g.doubleclick.net", "/tag/js/gpt.js", "miojob.repubblica.it",
         RequestKind::Script},
    };
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(loaded.list.blocks(requests[i % 3], suffixes));
        ++i;
    }
}
BENCHMARK(MatchARequest)->Unit(benchmark::kNanosecond);

}  // namespace

int main(int argc, char** argv) {
    const long before = ResidentKiB();
    {
        const quintavia::LoadedBlockList loaded = LoadBlockLists();
        std::printf(
            "lists: %lld rules taken, %lld skipped, %.1f MB read; resident memory "
            "%ld KiB before, %ld KiB with the lists compiled (+%ld KiB)\n",
            static_cast<long long>(loaded.list.ruleCount()),
            static_cast<long long>(loaded.list.skippedCount()), loaded.bytes / 1e6, before,
            ResidentKiB(), ResidentKiB() - before);
        if (!loaded.notice.isEmpty()) std::printf("%s\n", qUtf8Printable(loaded.notice));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
