#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "core/listings/found_listing.h"
#include "core/listings/listing_memory.h"
#include "core/watch/kept.h"
#include "core/watch/outcomes.h"
#include "store/history_file.h"
#include "store/listing_memory_file.h"
#include "store/settings_file.h"
#include "store/settings_keys.h"
#include "store/structure_file.h"
#include "store/unopened_file.h"

class QTimer;

namespace quintavia {

// The keeper of what outlives a run: the settings file, the listings' memory and the history.
// It takes from each outcome what is to be kept, and writes each part at its own pace: the
// listings found to the history at once, then the memory, so that a kill loses nothing found
// and makes nothing found new again; a last title a few seconds later, many at a time; the
// rest at once. What goes wrong goes to standard error, once until it works again.
class Keeper final : public QObject {
    Q_OBJECT
  public:
    // `memoryPath` and `historyPath` default to the user's own files.
    explicit Keeper(SettingsFile& settings, QString memoryPath = ListingMemoryFile::UserPath(),
                    QString historyPath = HistoryFile::UserPath(), QObject* parent = nullptr);

    // What earlier runs kept, each with its warnings on standard error: the settings file's,
    // and the listings seen and found.
    Kept loadKept();
    struct Listings {
        ListingMemory memory;
        QList<FoundListing> earlier;  // what the history holds, oldest first
        // What is kept of the sites read by structure, from the file beside the memory.
        StructureKept structure{};
        QStringList unopened;  // the addresses of those that waited to be opened
    };
    Listings loadListings();

    // Writes what the outcome gives to keep. False when a part written at once failed.
    bool keep(const ToKeep& what);
    // The history made with its header if need be, for the desktop's program for it; its path,
    // or empty after a line on standard error.
    QString historyToOpen();

    const SettingsFile& settingsFile() const { return settings_; }
    // What waits to be opened now, by address (FoundList::unopenedAddresses), for the next run.
    void keepUnopened(const QStringList& addresses);
    // Whether loadKept() found no settings file: the program's very first start.
    bool firstStart() const { return firstStart_; }

  private:
    bool write(const SettingsEntries& entries, const char* what);
    void writeHistory(const QList<FoundListing>& found);
    void writeMemory(const ListingMemory& memory);
    void writeLastTitles();
    void writeStructure(const StructureKept& kept);

    SettingsFile& settings_;
    ListingMemoryFile memory_;
    HistoryFile history_;
    // New titles reach the settings file within a few seconds, many at a time.
    QTimer* lastTitlesTimer_ = nullptr;
    Kept pending_;
    bool closed_ = false;
    // A file that keeps failing would say so at every capture: once, until it works again.
    bool memoryFailing_ = false;
    bool historyFailing_ = false;
    QString lastHistoryWarning_;
    StructureFile structure_;
    bool structureFailing_ = false;
    bool firstStart_ = false;
    UnopenedFile unopened_;
    bool unopenedFailing_ = false;
};

}  // namespace quintavia
