// How long reading the settings file takes, up to the largest file the program reads, made of
// keys that are all distinct: all in one section, or each in a section of its own. Reading must
// take time in proportion to the size, so the time per byte stays flat from row to row; at the
// limit it must stay well under a second. Also the whole start-up read of such a file from disk,
// a save and a load of the listings seen when every list is full, and the start-up read of the
// listings found from two full history files.
//   settings_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>

#include "core/listings/found_list.h"
#include "core/listings/listing_news.h"
#include "median_collector.h"
#include "store/history_csv.h"
#include "store/history_file.h"
#include "store/ini_document.h"
#include "store/listing_memory_file.h"
#include "store/settings_file.h"

namespace {

using quintavia::IniDocument;
using quintavia::ListingMemory;
using quintavia::ListingMemoryFile;
using quintavia::SettingsFile;

constexpr qint64 kSizes[] = {64 * 1024, 256 * 1024, 1024 * 1024, SettingsFile::kMaxFileSize};
enum Shape { OneSection = 0, SectionEach = 1 };

// As many distinct keys as fit in `bytes`, with a value each.
QByteArray DistinctKeys(qint64 bytes, Shape shape) {
    QByteArray file;
    file.reserve(bytes);
    for (int i = 0;; ++i) {
        QByteArray lines;
        if (shape == SectionEach || i == 0)
            lines += "[Sezione" + QByteArray::number(shape == SectionEach ? i : 0) + "]\n";
        lines += "chiave" + QByteArray::number(i) + "=valore " + QByteArray::number(i) + '\n';
        if (file.size() + lines.size() > bytes) break;
        file += lines;
    }
    return file;
}

const QByteArray& CachedFile(qint64 bytes, Shape shape) {
    static std::map<std::pair<qint64, Shape>, QByteArray> files;
    QByteArray& file = files[{bytes, shape}];
    if (file.isEmpty()) file = DistinctKeys(bytes, shape);
    return file;
}

void Parse(benchmark::State& state) {
    const QByteArray& file = CachedFile(state.range(0), static_cast<Shape>(state.range(1)));
    for (auto _ : state) {
        std::optional<IniDocument> doc = IniDocument::parse(file);
        if (!doc) state.SkipWithError("not read");
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
    state.counters["lines"] = static_cast<double>(file.count('\n'));
}

// What start-up does with such a file: read it from disk, parse it and pick the settings.
void LoadAtTheLimit(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Quintavia.ini";
    QFile out(path);
    const QByteArray& file =
        CachedFile(SettingsFile::kMaxFileSize, static_cast<Shape>(state.range(0)));
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        state.SkipWithError("cannot write the file");
    out.close();
    SettingsFile settings(path);
    for (auto _ : state) {
        SettingsFile::Loaded loaded = settings.load();
        if (!loaded.warnings.isEmpty()) state.SkipWithError("not read");
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

// Four sites with their most keys, links as long as real ones, and the most announced jobs.
ListingMemory FullMemory() {
    ListingMemory memory;
    for (int site = 0; site < 4; ++site) {
        quintavia::SeenKeys& seen = memory.sites[QString::number(site)];
        seen.search =
            QStringLiteral("https://www.example.it/offerte-lavoro/cuoco/lazio?p=%1").arg(site);
        for (qsizetype i = 0; i < quintavia::kSeenKeysKept; ++i) {
            seen.keys.append(
                QStringLiteral("https://www.example.it/offerta-lavoro/cuoco-capo-partita/"
                               "of-i%1%2?applicationOrigin=search-new")
                    .arg(site)
                    .arg(i, 30, 16, QLatin1Char('0')));
        }
    }
    const QDateTime newest = QDateTime::currentDateTime();
    for (qsizetype i = quintavia::kAnnouncedKept; i > 0; --i) {
        memory.announced.append({QStringLiteral("cuoco capo partita ristorante %1").arg(i),
                                 QStringLiteral("1"), QStringLiteral("Jobrapido"),
                                 newest.addSecs(-i * 60)});
    }
    return memory;
}

// What the program does with it: a save (all of it on disk before the save returns) when a
// capture brings new listings, a load at start-up.
void MemoryFileSave(benchmark::State& state) {
    QTemporaryDir dir;
    ListingMemoryFile file(dir.path() + "/annunci-visti.json");
    const ListingMemory memory = FullMemory();
    for (auto _ : state)
        if (!file.save(memory)) state.SkipWithError("not saved");
    state.counters["bytes"] = static_cast<double>(QFileInfo(file.path()).size());
}

void MemoryFileLoad(benchmark::State& state) {
    QTemporaryDir dir;
    ListingMemoryFile file(dir.path() + "/annunci-visti.json");
    const ListingMemory memory = FullMemory();
    if (!file.save(memory)) state.SkipWithError("not saved");
    for (auto _ : state) {
        ListingMemoryFile::Loaded loaded = file.load();
        if (loaded.memory != memory) state.SkipWithError("not read back");
        benchmark::DoNotOptimize(loaded);
    }
}

// Start-up with a history that has just rotated: both files full, read back, what they hold
// taught to the memory and the newest put in the list.
void HistoryReadBack(benchmark::State& state) {
    QTemporaryDir dir;
    quintavia::HistoryFile history(dir.path() + "/cronologia.csv");
    const QDateTime when = QDateTime::currentDateTime();
    QString lines;
    for (int n = 0; lines.size() < 256 * 1024; ++n)
        lines += quintavia::HistoryLine(
            {.when = when.addSecs(n),
             .site = QStringLiteral("Indeed"),
             .title = QStringLiteral("Cuoco capo partita, ristorante %1, Roma").arg(n),
             .link = QUrl(QStringLiteral("https://it.indeed.com/viewjob?jk=%1")
                              .arg(n, 16, 16, QLatin1Char('0')))});
    while (QFileInfo(history.previousPath()).size() < quintavia::HistoryFile::kRotateBytes / 2)
        if (!history.append(lines)) state.SkipWithError("not written");
    while (QFileInfo(history.path()).size() + lines.toUtf8().size() <
           quintavia::HistoryFile::kRotateBytes)
        if (!history.append(lines)) state.SkipWithError("not written");
    quintavia::SiteRule indeed;
    indeed.id = QStringLiteral("indeed");
    indeed.name = QStringLiteral("Indeed");
    indeed.findBy = quintavia::FindBy::Selector;
    qsizetype rows = 0;
    for (auto _ : state) {
        const QList<quintavia::FoundListing> found = history.readFound();
        ListingMemory memory = FullMemory();
        memory.sites[indeed.id] = memory.sites.first();
        quintavia::LearnFromHistory(memory, {indeed}, found);
        quintavia::FoundList list;
        list.load(found);
        rows = found.size();
        benchmark::DoNotOptimize(list);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    auto* parse = benchmark::RegisterBenchmark("parse", Parse);
    for (const qint64 size : kSizes)
        for (const Shape shape : {OneSection, SectionEach}) parse->Args({size, shape});
    auto* load = benchmark::RegisterBenchmark("load_at_the_limit", LoadAtTheLimit);
    load->Arg(OneSection)->Arg(SectionEach);
    auto* save = benchmark::RegisterBenchmark("memory_file_save", MemoryFileSave);
    auto* reload = benchmark::RegisterBenchmark("memory_file_load", MemoryFileLoad);
    auto* history = benchmark::RegisterBenchmark("history_read_back", HistoryReadBack);
    for (auto* bench : {parse, load, save, reload, history})
        bench->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
    MedianCollector collector(MedianCollector::Time::Real);
    benchmark::RunSpecifiedBenchmarks(&collector);

    std::printf("\nMedian time to parse (ms), and per byte (ns)\n");
    std::printf("%10s %10s %14s %10s %14s %10s\n", "bytes", "keys", "one section", "ns/byte",
                "section each", "ns/byte");
    for (const qint64 size : kSizes) {
        const std::string prefix = std::to_string(size) + '/';
        const double one = collector.medians["parse"][prefix + "0"];
        const double each = collector.medians["parse"][prefix + "1"];
        if (one <= 0 || each <= 0) continue;
        const QByteArray& file = CachedFile(size, OneSection);
        std::printf("%10lld %10lld %14.2f %10.1f %14.2f %10.1f\n", static_cast<long long>(size),
                    static_cast<long long>(file.count('\n') - 1), one,
                    one * 1e6 / static_cast<double>(size), each,
                    each * 1e6 / static_cast<double>(size));
    }
    std::printf("Start-up read of a file at the limit (ms): one section %.2f, section each %.2f\n",
                collector.medians["load_at_the_limit"]["0"],
                collector.medians["load_at_the_limit"]["1"]);
    std::printf("Listings seen, 4 sites x %lld keys and %lld jobs (ms): save %.2f, load %.2f\n",
                static_cast<long long>(quintavia::kSeenKeysKept),
                static_cast<long long>(quintavia::kAnnouncedKept),
                collector.medians["memory_file_save"][""],
                collector.medians["memory_file_load"][""]);
    std::printf(
        "Listings found, read back from two history files of 4 MiB at start-up (ms): "
        "%.2f\n",
        collector.medians["history_read_back"][""]);
    benchmark::Shutdown();
    return 0;
}
