#include "store/public_suffix_file.h"

#include <QFile>
#include <atomic>

#include "store/io/platform.h"

namespace quintavia {
namespace {

// The list is some 250 KiB; a file many times larger is no list of ours.
constexpr qint64 kMaxListBytes = 16 * 1024 * 1024;

struct Loaded {
    PublicSuffixes list;
    QString notice;
};

const Loaded& Load() {
    static const Loaded loaded = [] {
        Loaded result;
        QFile file(QString::fromLatin1(kPublicSuffixPath));
        QString reason;
        if (!file.open(QIODevice::ReadOnly))
            reason = platform::InItalian(file.errorString());
        else if (file.size() > kMaxListBytes)
            reason = QStringLiteral("supera %1 byte").arg(kMaxListBytes);
        else
            result.list = PublicSuffixes::Parse(QString::fromUtf8(file.readAll()));
        if (reason.isEmpty() && result.list.isEmpty())
            reason = QStringLiteral("non contiene alcuna regola");
        if (!reason.isEmpty())
            result.notice = QStringLiteral(
                                "l'elenco dei suffissi pubblici %1 non è letto (%2): del "
                                "\"dominio\" di un sito si controlla solo che abbia due "
                                "etichette, e il blocco prende come sito di un host le sue "
                                "ultime due etichette")
                                .arg(QString::fromLatin1(kPublicSuffixPath), reason);
        return result;
    }();
    return loaded;
}

std::atomic<bool> g_told{false};

}  // namespace

const PublicSuffixes& SystemPublicSuffixes() {
    return Load().list;
}

QString TakePublicSuffixNotice() {
    const QString& notice = Load().notice;
    if (notice.isEmpty() || g_told.exchange(true)) return {};
    return notice;
}

}  // namespace quintavia
