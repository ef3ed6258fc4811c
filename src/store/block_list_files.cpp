#include "store/block_list_files.h"

#include <QFile>
#include <iterator>

namespace quintavia {
namespace {

// The largest list is some 2 MB; one many times larger is no list of these.
constexpr qint64 kMaxListBytes = 64 * 1024 * 1024;

}  // namespace

LoadedBlockList LoadBlockLists(const QString& folder) {
    LoadedBlockList loaded;
    QStringList missing;
    for (const char* name : kBlockListFiles) {
        QFile file(folder + u'/' + QLatin1StringView(name));
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxListBytes) {
            missing << file.fileName();
            continue;
        }
        const QByteArray text = file.readAll();
        loaded.bytes += text.size();
        loaded.list.add(text);
    }
    if (missing.size() == std::ssize(kBlockListFiles))
        loaded.notice = QStringLiteral(
                            "gli elenchi degli indirizzi di pubblicità, tracciatori e malware "
                            "non sono in %1 (il pacchetto webext-ublock-origin-chromium non è "
                            "installato): non si blocca nulla")
                            .arg(folder);
    else if (!missing.isEmpty())
        loaded.notice =
            QStringLiteral("questi elenchi del blocco non si leggono, e non sono usati: %1")
                .arg(missing.join(QStringLiteral(", ")));
    return loaded;
}

}  // namespace quintavia
