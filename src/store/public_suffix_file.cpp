#include "store/public_suffix_file.h"

#include <QFile>
#include <atomic>

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
            reason = file.errorString();
        else if (file.size() > kMaxListBytes)
            reason = QStringLiteral("larger than %1 bytes").arg(kMaxListBytes);
        else
            result.list = PublicSuffixes::Parse(QString::fromUtf8(file.readAll()));
        if (reason.isEmpty() && result.list.isEmpty()) reason = QStringLiteral("it holds no rule");
        if (!reason.isEmpty())
            result.notice = QStringLiteral(
                                "the list of public suffixes %1 is not read (%2): a site's "
                                "\"dominio\" is only checked to have two labels, and the "
                                "blocking takes the last two labels of a host for its site")
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
