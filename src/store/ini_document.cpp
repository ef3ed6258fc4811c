#include "store/ini_document.h"

#include <QStringDecoder>
#include <QStringTokenizer>

namespace quintavia {
namespace {

// Characters that would break a line, or that editors and terminals may treat as breaks or
// mangle, together with the UTF-16 units that UTF-8 cannot carry on their own.
bool NeedsEscape(char16_t c) {
    return (c < 0x20 && c != u'\t') || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 ||
           QChar::isSurrogate(c);
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// The code unit of "\uXXXX" starting at `at`, or -1 when there is none.
int UnicodeEscape(QStringView s, qsizetype at) {
    if (at + 6 > s.size() || s[at + 1] != u'u') return -1;
    int unit = 0;
    for (qsizetype i = at + 2; i < at + 6; ++i) {
        const int digit = HexDigit(s[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

bool IsIniName(const QString& name) {
    if (name.isEmpty() || name != name.trimmed()) return false;
    if (name.front() == u';' || name.front() == u'#') return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'=' || u == u'[' || u == u']' || u == u'\\' || u == u'\t' || NeedsEscape(u))
            return false;
    }
    return true;
}

QString EncodeIniValue(QStringView text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\\') {
            out += QLatin1String("\\\\");
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text[i];
            out += text[++i];
        } else if (NeedsEscape(c)) {
            out += QStringLiteral("\\u%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
        } else {
            out += text[i];
        }
    }
    return out;
}

QString DecodeIniValue(QStringView written) {
    if (!written.contains(u'\\')) return written.toString();  // most values: no escapes
    QString out;
    out.reserve(written.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        const QChar c = written[i];
        if (c != u'\\' || i + 1 == written.size()) {
            out += c;
            continue;
        }
        switch (written[i + 1].unicode()) {
            case u'\\':
                out += u'\\';
                ++i;
                break;
            case u'n':
                out += u'\n';
                ++i;
                break;
            case u'r':
                out += u'\r';
                ++i;
                break;
            case u't':
                out += u'\t';
                ++i;
                break;
            default:
                if (const int unit = UnicodeEscape(written, i); unit >= 0) {
                    out += QChar(static_cast<char16_t>(unit));
                    i += 5;
                } else {
                    out += c;  // not an escape: the backslash stands for itself
                }
        }
    }
    return out;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const auto s = sectionAt_.constFind(section);
    if (s == sectionAt_.cend()) return std::nullopt;
    const auto e = entryAt_.constFind({*s, key});
    if (e == entryAt_.cend()) return std::nullopt;
    return sections_[*s].entries[*e].second;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    auto s = sectionAt_.constFind(section);
    if (s == sectionAt_.cend()) {
        s = sectionAt_.insert(section, sections_.size());
        sections_.append(Section{section, {}});
    }
    QList<std::pair<QString, QString>>& entries = sections_[*s].entries;
    const std::pair<qsizetype, QString> at{*s, key};
    if (const auto e = entryAt_.constFind(at); e != entryAt_.cend()) {
        entries[*e].second = value;
        return;
    }
    entryAt_.insert(at, entries.size());
    entries.append({key, value});
}

QStringList IniDocument::sections() const {
    QStringList names;
    names.reserve(sections_.size());
    for (const Section& s : sections_) names.append(s.name);
    return names;
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList names;
    const auto s = sectionAt_.constFind(section);
    if (s == sectionAt_.cend()) return names;
    for (const auto& entry : sections_[*s].entries) names.append(entry.first);
    return names;
}

QByteArray IniDocument::toUtf8() const {
    QString text;
    for (const Section& s : sections_) {
        if (!text.isEmpty()) text += u'\n';
        text += u'[' + s.name + QLatin1String("]\n");
        for (const auto& [k, v] : s.entries) text += k + u'=' + EncodeIniValue(v) + u'\n';
    }
    return text.toUtf8();
}

std::optional<IniDocument> IniDocument::parse(const QByteArray& bytes) {
    if (bytes.contains('\0')) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;

    IniDocument doc;
    // Room for a key on every line, rather than growing the table time and again.
    doc.entryAt_.reserve(text.count(u'\n') + 1);
    std::optional<QString> section;  // none before the first header, or after a bad one
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        qsizetype start = 0;
        while (start < line.size() && IsBlank(line[start])) ++start;
        if (start == line.size() || line[start] == u';' || line[start] == u'#') continue;
        if (line[start] == u'[') {
            const QStringView header = line.mid(start).trimmed();
            const QString name = header.endsWith(u']')
                                     ? header.mid(1, header.size() - 2).trimmed().toString()
                                     : QString();
            section = IsIniName(name) ? std::optional<QString>(name) : std::nullopt;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || !section) continue;
        const QString key = line.left(equals).trimmed().toString();
        if (IsIniName(key)) doc.setValue(*section, key, DecodeIniValue(line.mid(equals + 1)));
    }
    return doc;
}

}  // namespace quintavia
