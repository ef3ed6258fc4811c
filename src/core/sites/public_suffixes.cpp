#include "core/sites/public_suffixes.h"

#include <QStringList>
#include <QUrl>

namespace quintavia {
namespace {

QString AsciiName(QStringView name) {
    bool ascii = true;
    for (const QChar c : name) ascii = ascii && c.unicode() < 0x80;
    if (ascii) return name.toString().toLower();
    return QString::fromLatin1(QUrl::toAce(name.toString())).toLower();
}

QString Joined(const QStringList& labels, qsizetype from) {
    return labels.mid(from).join(u'.');
}

}  // namespace

PublicSuffixes PublicSuffixes::Parse(QStringView text) {
    PublicSuffixes list;
    for (QStringView line : text.split(u'\n')) {
        // A rule is the line's first word; whatever follows a blank is no part of it.
        line = line.trimmed();
        if (const qsizetype blank = line.indexOf(u' '); blank >= 0) line = line.left(blank);
        if (line.isEmpty() || line.startsWith(u"//")) continue;
        if (line.startsWith(u'!')) {
            list.exceptions_.insert(AsciiName(line.mid(1)));
        } else if (line.startsWith(u"*.")) {
            list.wildcards_.insert(AsciiName(line.mid(2)));
        } else {
            const QString name = AsciiName(line);
            if (!name.isEmpty()) list.rules_.insert(name);
        }
    }
    return list;
}

qsizetype PublicSuffixes::suffixLabels(const QStringList& labels) const {
    const qsizetype n = labels.size();
    // An exception rule wins over the wildcard it carves out of: its suffix is the rule
    // without its first label.
    for (qsizetype i = 0; i < n; ++i)
        if (exceptions_.contains(Joined(labels, i))) return n - i - 1;
    for (qsizetype i = 0; i < n; ++i) {
        if (rules_.contains(Joined(labels, i))) return n - i;
        if (i + 1 < n && wildcards_.contains(Joined(labels, i + 1))) return n - i;
    }
    return 1;
}

QString PublicSuffixes::registrableDomain(QStringView host) const {
    if (isEmpty()) return {};
    if (host.endsWith(u'.')) host.chop(1);
    const QStringList labels = host.toString().toLower().split(u'.');
    for (const QString& label : labels)
        if (label.isEmpty()) return {};
    const qsizetype suffix = suffixLabels(labels);
    if (suffix >= labels.size()) return {};
    return Joined(labels, labels.size() - suffix - 1);
}

}  // namespace quintavia
