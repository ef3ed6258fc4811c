#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>

#include "core/layout/panes.h"
#include "core/page/listing_probe.h"
#include "kept_sites.h"
#include "scripted_sites.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

// Some 20 MB of expired listings, none with the site's marker, before the newest listing.
QByteArray TwentyMegabytePage(int site, const QString& title) {
    const QByteArray text = QByteArray("Annuncio scaduto, non più disponibile. ").repeated(25);
    QByteArray expired;
    expired.reserve(21 << 20);
    for (int n = 0; expired.size() < (20 << 20); ++n)
        expired +=
            "<div class=\"scaduto\"><p>" + QByteArray::number(n) + ' ' + text + "</p></div>\n";
    QByteArray page = fixtures::ListingPage(site, title);
    page.insert(page.indexOf("</h1>\n") + 6, expired);
    return page;
}

// Bytes of any value but "<", so that no tag opens among them.
QByteArray BinaryBytes(qsizetype size) {
    QRandomGenerator random(6);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        do byte = static_cast<char>(random.bounded(256));
        while (byte == '<');
    }
    return bytes;
}

QByteArray PngImage() {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A PDF whose text holds every site's marker.
QByteArray PdfDocument() {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QPainter painter(&writer);
    painter.drawText(200, 200, u"clearfix span class dettaglioposizione"_s);
    painter.end();
    return pdf;
}

class OddDocuments : public ScriptedSitesTest {
  protected:
    void SetUp() override {
        ScriptedSitesTest::SetUp();
        sites.titles[0] = u"In fondo a venti megabyte"_s;
    }
};

TEST_F(OddDocuments, TextDocumentsAreProbedForWhatTheyRead) {
    // Read on its beginning only: the listing at the end of the big page is not seen.
    const QByteArray big = TwentyMegabytePage(0, sites.titles[0]);
    ASSERT_GE(big.size(), 20 << 20);
    ASSERT_GT(big.size(), WebPane::kMarkupUnits);
    sites.answers[0] = fixtures::Response{.body = big};
    // Served as HTML, binary bytes are text like any other, and the listing after them is read.
    sites.answers[1] = fixtures::Response{.body = BinaryBytes(64 * 1024) +
                                                  fixtures::ListingPage(1, sites.titles[1])};
    // Each ill-formed sequence reads as replacement characters, one per maximal part.
    sites.answers[2] = fixtures::Response{
        .body = fixtures::ListingPageRaw(
            2, "Cuoco \xC3( capo \xFF partita \xC0\xAF \xED\xA0\x80 \xF0\x9F\x98 fine")};
    // A listing page sent as plain text is shown as text: no HTML document to read.
    sites.answers[3] = fixtures::Response{.contentType = "text/plain; charset=utf-8",
                                          .body = fixtures::ListingPage(3, sites.titles[3])};
    Start();
    // A bound for the engine's work on the big page, not a speed target.
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }, 180000));
    EXPECT_EQ(EntriesSince(0),
              (QStringList{u"Jobonline: CUOCO \uFFFD( CAPO \uFFFD PARTITA \uFFFD\uFFFD "
                           u"\uFFFD\uFFFD\uFFFD \uFFFD FINE"_s,
                           u"Jobrapido: CAMERIERE DI SALA"_s}));
    EXPECT_EQ(captures->last(3).markup, std::nullopt);
    EXPECT_EQ(support::DefaultSite(window->controller().kept(), 3).lastListing, u""_s);

    // As pages again: only what changed is new.
    sites.answers = {};
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(EntriesSince(2),
              (QStringList{u"Infojobs : AUTISTA PATENTE C"_s, u"Jobonline: CUOCO CAPO PARTITA"_s,
                           u"MioJob   : IN FONDO A VENTI MEGABYTE"_s}));
}

// Whatever replaces a listing page without being an HTML document, the title seen stays seen.
TEST_F(OddDocuments, ImagesPdfsAndDownloadsLeaveTheLastTitlesAsTheyWere) {
    Start();
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(1); }));
    ASSERT_EQ(LogEntries(*window).size(), 4);

    sites.answers[0] = fixtures::Response{.contentType = "image/png", .body = PngImage()};
    // The engine shows it, or hands it over as a download, which nothing takes.
    sites.answers[1] = fixtures::Response{.contentType = "application/pdf", .body = PdfDocument()};
    sites.answers[2] = fixtures::Response{.contentType = "application/octet-stream",
                                          .body = BinaryBytes(64 * 1024)};
    // The whole page binary: no marker, so the search starts at position 10 and finds the
    // head's ">" with the "<" of its end tag right after it, an empty title.
    sites.answers[3] = fixtures::Response{.body = BinaryBytes(64 * 1024)};
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(2); }));
    EXPECT_EQ(LogEntries(*window).size(), 4);
    for (int i = 0; i < kPaneCount; ++i)
        EXPECT_EQ(support::DefaultSite(window->controller().kept(), i).lastListing,
                  UpperCaseUnits(sites.titles[i]))
            << i;
    EXPECT_EQ(captures->last(0).markup, std::nullopt);
    const std::optional<QString> binary = captures->last(3).markup;
    ASSERT_TRUE(binary);
    EXPECT_TRUE(binary->startsWith(u"<html><head></head><body>"_s));
    EXPECT_FALSE(UpperCaseUnits(*binary).contains(u"WWW.INFOJOBS.IT/SELEZIONARE"_s));

    sites.answers = {};
    for (QString& title : sites.titles) title += u" - nuovo"_s;
    RunCountdownOut(*window);
    ASSERT_TRUE(WaitFor([&] { return captures->eachAtLeast(3); }));
    EXPECT_EQ(EntriesSince(4), (QStringList{u"Infojobs : AUTISTA PATENTE C - NUOVO"_s,
                                            u"Jobonline: CUOCO CAPO PARTITA - NUOVO"_s,
                                            u"Jobrapido: CAMERIERE DI SALA - NUOVO"_s,
                                            u"MioJob   : IN FONDO A VENTI MEGABYTE - NUOVO"_s}));
}

}  // namespace
}  // namespace quintavia::e2e
