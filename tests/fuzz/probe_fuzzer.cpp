// Whatever a site serves reaches the listing probe: the page's markup as the engine decoded
// it, bad bytes included. Input: the markup, then optionally 0xFF and a marker (see
// fuzz_input.h); without one, the page is read with each site's marker in turn.
#include <QChar>
#include <QString>
#include <algorithm>

#include "core/layout/panes.h"
#include "core/page/listing_probe.h"
#include "core/sites/site_rules.h"
#include "core/sites/sites.h"
#include "fuzz_input.h"

namespace quintavia::fuzz {
namespace {

char16_t ReferenceUpper(char16_t unit) {
    const char32_t upper = QChar::toUpper(static_cast<char32_t>(unit));
    return upper > 0xFFFF ? unit : static_cast<char16_t>(upper);
}

// 1-based position of the first `what` in `text` at or after 1-based `from`, or 0: the plain
// reading of the probe's searches, to hold its own against.
qsizetype FirstAtOrAfter(const QString& text, qsizetype from, char16_t what) {
    for (qsizetype i = std::max<qsizetype>(from, 1) - 1; i < text.size(); ++i)
        if (text[i].unicode() == what) return i + 1;
    return 0;
}

void CheckProbe(const QString& markup, const QString& marker) {
    const ProbeResult found = FindNewestListing(markup, marker);

    // The page text keeps the markup's length and maps every unit on its own, whichever path
    // the fast conversion took.
    const QString page = UpperCaseUnits(markup);
    FUZZ_REQUIRE(page.size() == markup.size());
    for (qsizetype i = 0; i < page.size(); ++i)
        FUZZ_REQUIRE(page[i].unicode() == ReferenceUpper(markup[i].unicode()));
    const QString upperMarker = UpperCaseUnits(marker);
    FUZZ_REQUIRE(upperMarker.size() == marker.size());

    // The marker position is where the upper-case marker first occurs, or 0.
    const auto* begin = page.utf16();
    const auto* end = begin + page.size();
    const auto* at =
        std::search(begin, end, upperMarker.utf16(), upperMarker.utf16() + upperMarker.size());
    const qsizetype expectedMarker =
        at == end && !upperMarker.isEmpty() ? 0 : static_cast<qsizetype>(at - begin) + 1;
    FUZZ_REQUIRE(found.markerPosition == expectedMarker);

    // The tag end is the first ">" from ten units past the marker's start.
    FUZZ_REQUIRE(found.tagEnd == FirstAtOrAfter(page, found.markerPosition + 10, u'>'));
    if (found.tagEnd == 0) {
        FUZZ_REQUIRE(found.outcome == ProbeOutcome::NoTagEnd);
        FUZZ_REQUIRE(found.tagStart == 0 && found.title.isEmpty());
        return;
    }
    FUZZ_REQUIRE(found.tagEnd >= found.markerPosition + 10 && found.tagEnd <= page.size());

    // The tag start is the first "<" after it.
    FUZZ_REQUIRE(found.tagStart == FirstAtOrAfter(page, found.tagEnd, u'<'));
    if (found.tagStart == 0) {
        FUZZ_REQUIRE(found.outcome == ProbeOutcome::NoTagStart && found.title.isEmpty());
        return;
    }
    FUZZ_REQUIRE(found.outcome == ProbeOutcome::Title);
    FUZZ_REQUIRE(found.tagStart > found.tagEnd && found.tagStart <= page.size());

    // The title is the page text between the two, less the spaces at its ends only.
    const QString between = page.mid(found.tagEnd, found.tagStart - found.tagEnd - 1);
    const qsizetype lead = between.indexOf(found.title);
    FUZZ_REQUIRE(found.title.isEmpty() || lead >= 0);
    FUZZ_REQUIRE(!found.title.startsWith(u' ') && !found.title.endsWith(u' '));
    FUZZ_REQUIRE(!found.title.contains(u'<'));
    if (!found.title.isEmpty()) {
        const QString around = between.left(lead) + between.mid(lead + found.title.size());
        FUZZ_REQUIRE(around.count(u' ') == around.size());
    } else {
        FUZZ_REQUIRE(between.count(u' ') == between.size());
    }
    // Upper-casing unit by unit commutes with taking the slice.
    FUZZ_REQUIRE(UpperCaseUnits(markup.mid(found.tagEnd, between.size())) == between);
}

}  // namespace
}  // namespace quintavia::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quintavia;
    const QList<QByteArrayView> chunks = fuzz::SplitChunks(data, size);
    const QString markup = fuzz::ChunkText(chunks[0]);
    if (chunks.size() > 1) {
        fuzz::CheckProbe(markup, fuzz::ChunkText(chunks[1]));
    } else {
        for (int site = 0; site < kPaneCount; ++site)
            fuzz::CheckProbe(markup, DefaultRules()[site].marker);
    }
    return 0;
}
