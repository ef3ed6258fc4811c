#include "core/text/shown_text.h"

#include "core/text/text_cut.h"

namespace quintavia {
namespace {

bool IsHidden(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

bool IsBreak(char32_t c) {
    return c == u'\t' || (c >= u'\n' && c <= u'\r') || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Calls `take(codePoint, units)` for each code point of `text`; half of a surrogate pair is a
// code point of its own.
template <typename Take>
void ForEachCodePoint(QStringView text, Take take) {
    for (qsizetype i = 0; i < text.size();) {
        qsizetype units = 1;
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        take(c, text.sliced(i, units));
        i += units;
    }
}

}  // namespace

QString ShownText(QStringView text) {
    QString out;
    out.reserve(text.size());
    bool breakPending = false;
    ForEachCodePoint(text, [&](char32_t c, QStringView units) {
        if (IsBreak(c)) {
            breakPending = !out.isEmpty();
            return;
        }
        if (IsHidden(c)) return;
        if (breakPending) out += u' ';
        breakPending = false;
        out += units;
    });
    return out;
}

QString ShownAddress(const QUrl& address) {
    QString shown = address.toDisplayString();
    // A host of other scripts can spell a board's name letter for letter (Cyrillic "а" for
    // Latin "a"): where it leads is then shown as the resolver reads it.
    if (const QString ace = address.host(QUrl::FullyEncoded);
        ace != address.host(QUrl::PrettyDecoded)) {
        const QString user = address.userName();
        shown = address.scheme() + QStringLiteral("://") +
                (user.isEmpty() ? QString() : user + u'@') + ace +
                (address.port() < 0 ? QString() : u':' + QString::number(address.port())) +
                address.toDisplayString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    }
    QString out;
    out.reserve(shown.size());
    ForEachCodePoint(shown, [&](char32_t c, QStringView units) {
        if (!IsHidden(c) && !IsBreak(c)) {
            out += units;
            return;
        }
        out += QString::fromLatin1(units.toUtf8().toPercentEncoding());
    });
    out.truncate(CutEnd(out, kAddressUnits));
    return out;
}

QString PopupTitle(const QUrl& address, QStringView pageTitle) {
    const QString where = address.host().isEmpty() ? address.scheme() : address.host();
    QString title = QStringLiteral("Pop-up");
    if (!where.isEmpty()) title += QStringLiteral(" da ") + ShownText(where);
    const QString shown = ShownText(pageTitle);
    if (!shown.isEmpty()) title += QStringLiteral(" – ") + shown;
    return title;
}

}  // namespace quintavia
