// How long the listing probe takes on big pages, beside one plain upper-case copy of the same
// page (QString::toUpper), measured in the same run. Prints a table of both and their ratio.
//   probe_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <map>
#include <utility>

#include "core/page/listing_probe.h"
#include "median_collector.h"

namespace {

constexpr qsizetype kSizes[] = {100 * 1024, 1024 * 1024, 10 * 1024 * 1024};
const QString kMarker = QStringLiteral("dettaglioposizione");

// A results page of `units` UTF-16 units: older listings in mixed case with the odd accented
// letter, none carrying the marker. With `newestLast` the newest listing closes the page, so
// every search of the probe runs over all of it; otherwise it opens the page, as on the sites.
QString Page(qsizetype units, bool newestLast) {
    const QString newest = QStringLiteral(
        "<div id=\"dettaglioPosizione\" class=\"offerta\">Operaio specializzato</div>\n");
    const QString older = QStringLiteral(
        "<div class=\"risultato\"><a href=\"/lavoro/offerta?id=%1\">Impiegato contabile</a>"
        "<p class=\"descrizione\">Sede di lavoro: Pescara. Contratto a tempo indeterminato, "
        "attività in città, società di servizi; è richiesta esperienza.</p></div>\n");
    QString page = QStringLiteral("<html><head><title>Offerte di lavoro</title></head><body>\n");
    if (!newestLast) page += newest;
    const QString end = QStringLiteral("</body></html>");
    for (int id = 0; page.size() + older.size() + 10 + newest.size() + end.size() < units; ++id)
        page += older.arg(id);
    if (newestLast) page += newest;
    page += end;
    page.resize(units, u' ');
    return page;
}

const QString& CachedPage(qsizetype units, bool newestLast) {
    static std::map<std::pair<qsizetype, bool>, QString> pages;
    auto [found, added] = pages.try_emplace({units, newestLast});
    if (added) found->second = Page(units, newestLast);
    return found->second;
}

void Baseline(benchmark::State& state) {
    const QString& page = CachedPage(state.range(0), true);
    for (auto _ : state) {
        QString upper = page.toUpper();
        benchmark::DoNotOptimize(upper.constData());
    }
}

void ProbeNewestLast(benchmark::State& state) {
    const QString& page = CachedPage(state.range(0), true);
    for (auto _ : state) {
        quintavia::ProbeResult found = quintavia::FindNewestListing(page, kMarker);
        if (found.title != QStringLiteral("OPERAIO SPECIALIZZATO")) state.SkipWithError("no title");
        benchmark::DoNotOptimize(found);
    }
}

void ProbeNewestFirst(benchmark::State& state) {
    const QString& page = CachedPage(state.range(0), false);
    for (auto _ : state) {
        quintavia::ProbeResult found = quintavia::FindNewestListing(page, kMarker);
        if (found.title != QStringLiteral("OPERAIO SPECIALIZZATO")) state.SkipWithError("no title");
        benchmark::DoNotOptimize(found);
    }
}

void Register(const char* name, void (*function)(benchmark::State&)) {
    auto* bench = benchmark::RegisterBenchmark(name, function);
    for (const qsizetype size : kSizes) bench->Arg(size);
    bench->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Register("baseline_toUpper", Baseline);
    Register("probe_newest_last", ProbeNewestLast);
    Register("probe_newest_first", ProbeNewestFirst);
    MedianCollector collector(MedianCollector::Time::Cpu);
    benchmark::RunSpecifiedBenchmarks(&collector);

    std::printf("\nMedian CPU time per page (microseconds), and per UTF-16 unit (ns)\n");
    std::printf("%10s %14s %14s %8s %14s %8s %22s\n", "units", "toUpper", "probe(last)", "ratio",
                "probe(first)", "ratio", "ns/unit toUpper|last");
    for (const qsizetype size : kSizes) {
        const std::string key = std::to_string(size);
        const double base = collector.medians["baseline_toUpper"][key];
        const double last = collector.medians["probe_newest_last"][key];
        const double first = collector.medians["probe_newest_first"][key];
        if (base <= 0) continue;
        std::printf("%10lld %14.1f %14.1f %8.2f %14.1f %8.2f %11.3f|%.3f\n",
                    static_cast<long long>(size), base, last, last / base, first, first / base,
                    base * 1000 / static_cast<double>(size),
                    last * 1000 / static_cast<double>(size));
    }
    benchmark::Shutdown();
    return 0;
}
