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
                            "the lists of advertisements, trackers and malware addresses are not "
                            "in %1 (the package webext-ublock-origin-chromium is not installed): "
                            "nothing is blocked")
                            .arg(folder);
    else if (!missing.isEmpty())
        loaded.notice =
            QStringLiteral("these lists of the blocking could not be read, and are not used: %1")
                .arg(missing.join(QStringLiteral(", ")));
    return loaded;
}

}  // namespace quintavia
