#include "core/page/listing_probe.h"

#include <QChar>

namespace quintavia {
namespace {

char16_t UpperUnit(char16_t unit) {
    const char32_t upper = QChar::toUpper(static_cast<char32_t>(unit));
    // A mapping that leaves the basic plane would take two units.
    return upper > 0xFFFF ? unit : static_cast<char16_t>(upper);
}

char16_t UpperAscii(char16_t unit) {
    return static_cast<char16_t>(unit - (static_cast<char16_t>(unit - u'a') < 26 ? 32 : 0));
}

// A search from a 1-based position, giving a 1-based position or 0. A start past the end
// finds nothing.
qsizetype Find(QStringView text, qsizetype start, QStringView what) {
    const qsizetype at = text.indexOf(what, start - 1);
    return at < 0 ? 0 : at + 1;
}

qsizetype Find(QStringView text, qsizetype start, char16_t what) {
    const qsizetype at = text.indexOf(QChar(what), start - 1);
    return at < 0 ? 0 : at + 1;
}

QStringView TrimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') ++begin;
    while (end > begin && text[end - 1] == u' ') --end;
    return text.sliced(begin, end - begin);
}

}  // namespace

QString UpperCaseUnits(QStringView text) {
    const qsizetype size = text.size();
    QString upper(size, Qt::Uninitialized);
    const char16_t* in = text.utf16();
    char16_t* out = reinterpret_cast<char16_t*>(upper.data());

    // Pages are mostly ASCII: blocks of it go through a loop the compiler can vectorise, and
    // only blocks holding other units pay for the table look-up.
    constexpr qsizetype kBlock = 32;
    qsizetype i = 0;
    for (; i + kBlock <= size; i += kBlock) {
        char16_t seen = 0;
        for (qsizetype k = 0; k < kBlock; ++k) seen |= in[i + k];
        if (seen < 0x80) {
            for (qsizetype k = 0; k < kBlock; ++k) out[i + k] = UpperAscii(in[i + k]);
        } else {
            for (qsizetype k = 0; k < kBlock; ++k) {
                const char16_t unit = in[i + k];
                out[i + k] = unit < 0x80 ? UpperAscii(unit) : UpperUnit(unit);
            }
        }
    }
    for (; i < size; ++i) out[i] = in[i] < 0x80 ? UpperAscii(in[i]) : UpperUnit(in[i]);
    return upper;
}

ProbeResult FindNewestListing(QStringView markup, QStringView marker) {
    ProbeResult found;
    const QString page = UpperCaseUnits(markup);
    const QString upperMarker = UpperCaseUnits(marker);

    found.markerPosition = Find(page, 1, upperMarker);
    found.tagEnd = Find(page, found.markerPosition + 10, u'>');
    if (found.tagEnd == 0) {
        found.outcome = ProbeOutcome::NoTagEnd;
        return found;
    }
    found.tagStart = Find(page, found.tagEnd, u'<');
    if (found.tagStart == 0) {
        found.outcome = ProbeOutcome::NoTagStart;
        return found;
    }
    const qsizetype length = found.tagStart - found.tagEnd - 1;
    found.title = TrimSpaces(QStringView(page).sliced(found.tagEnd, length)).toString();
    found.outcome = ProbeOutcome::Title;
    return found;
}

}  // namespace quintavia
