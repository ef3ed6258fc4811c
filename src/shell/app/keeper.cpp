#include "shell/app/keeper.h"

#include <QFileInfo>
#include <QTimer>
#include <utility>

#include "shell/app/warn.h"

namespace quintavia {
namespace {

constexpr int kLastTitlesDelayMs = 2000;

// A file written as the run goes says that it could not be written once, not at every write,
// until a write of it works again.
void WarnOnceWhileFailing(const WriteResult& written, bool& failing, const QString& what) {
    Warn(written.warnings);
    if (written) {
        failing = false;
        return;
    }
    if (!std::exchange(failing, true)) Warn(what + QStringLiteral(": ") + written.error);
}

}  // namespace

Keeper::Keeper(SettingsFile& settings, QString memoryPath, QString historyPath, QObject* parent)
    : QObject(parent),
      settings_(settings),
      memory_(std::move(memoryPath)),
      history_(std::move(historyPath)),
      structure_(StructureFile::PathBeside(memory_.path())),
      unopened_(UnopenedFile::PathBeside(history_.path())) {
    setObjectName(QStringLiteral("keeper"));
    lastTitlesTimer_ = new QTimer(this);
    lastTitlesTimer_->setSingleShot(true);
    lastTitlesTimer_->setInterval(kLastTitlesDelayMs);
    connect(lastTitlesTimer_, &QTimer::timeout, this, &Keeper::writeLastTitles);
}

Kept Keeper::loadKept() {
    // A link or a file that cannot be read is there all the same: only none at all is a first
    // start.
    const QFileInfo file(settings_.path());
    firstStart_ = !settings_.path().isEmpty() && !file.exists() && !file.isSymLink();
    SettingsFile::Loaded loaded = settings_.load();
    Warn(loaded.warnings);
    return std::move(loaded.kept);
}

Keeper::Listings Keeper::loadListings() {
    Listings listings;
    ListingMemoryFile::Loaded seen = memory_.load();
    Warn(seen.warnings);
    listings.memory = std::move(seen.memory);
    listings.earlier = history_.readFound();
    StructureFile::Loaded structure = structure_.load();
    Warn(structure.warnings);
    listings.structure = std::move(structure.kept);
    QString warning;
    listings.unopened = unopened_.load(&warning);
    if (!warning.isEmpty()) Warn(warning);
    return listings;
}

void Keeper::keepUnopened(const QStringList& addresses) {
    WarnOnceWhileFailing(unopened_.save(addresses), unopenedFailing_,
                         QStringLiteral("gli annunci da aprire non sono stati salvati"));
}

bool Keeper::keep(const ToKeep& what) {
    bool ok = true;
    if (!what.found.isEmpty()) writeHistory(what.found);
    if (what.memory) writeMemory(*what.memory);
    if (what.structure) writeStructure(*what.structure);
    // Once the run's last write is done, a page that still comes in changes no settings.
    if (!what.kept || closed_) return ok;
    const Kept& kept = *what.kept;
    if (what.closing) {
        // The last write of the run: whatever was still to come goes with it.
        closed_ = true;
        lastTitlesTimer_->stop();
        return write(ShutdownEntries(kept), "le impostazioni non sono state salvate");
    }
    if (what.lastTitles) {
        pending_ = kept;
        if (!lastTitlesTimer_->isActive()) lastTitlesTimer_->start();
    }
    if (what.choices)
        ok = write(ChoicesEntries(kept.options), "le impostazioni non sono state salvate") && ok;
    SettingsEntries scrolled;
    for (const QString& site : what.scrolledSites) scrolled += ScrollEntriesFor(kept, site);
    if (!scrolled.isEmpty())
        ok = write(scrolled, "le posizioni di scorrimento non sono state salvate") && ok;
    return ok;
}

void Keeper::writeLastTitles() {
    if (closed_) return;
    write(ListingEntries(pending_), "gli ultimi annunci non sono stati salvati");
}

bool Keeper::write(const SettingsEntries& entries, const char* what) {
    const WriteResult written = settings_.write(entries);
    Warn(written.warnings);
    if (!written) Warn(QLatin1String(what) + QStringLiteral(": ") + written.error);
    return written.ok;
}

void Keeper::writeHistory(const QList<FoundListing>& found) {
    const WriteResult written = history_.append(found);
    // A rotation that keeps failing would say so at every entry: once is enough.
    for (const QString& warning : written.warnings) {
        if (warning == lastHistoryWarning_) continue;
        lastHistoryWarning_ = warning;
        Warn(warning);
    }
    if (written) {
        historyFailing_ = false;
        return;
    }
    if (std::exchange(historyFailing_, true)) return;
    Warn(QStringLiteral("la cronologia non è stata scritta: ") + written.error);
}

void Keeper::writeMemory(const ListingMemory& memory) {
    WarnOnceWhileFailing(memory_.save(memory), memoryFailing_,
                         QStringLiteral("gli annunci visti non sono stati salvati"));
}

void Keeper::writeStructure(const StructureKept& kept) {
    WarnOnceWhileFailing(structure_.save(kept), structureFailing_,
                         QStringLiteral("i siti letti per struttura non sono stati salvati"));
}

QString Keeper::historyToOpen() {
    const WriteResult made = history_.create();
    Warn(made.warnings);
    if (!made) {
        Warn(QStringLiteral("la cronologia non si può aprire: ") + made.error);
        return {};
    }
    return history_.path();
}

}  // namespace quintavia
