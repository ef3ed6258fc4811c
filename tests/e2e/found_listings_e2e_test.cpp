#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTreeView>
#include <memory>

#include "accessible_walk.h"
#include "awaiting.h"
#include "browser_stand_in.h"
#include "core/text/shown_text.h"
#include "qt_printing.h"
#include "shell/desktop/listing_opener.h"
#include "shell/window/found_listings_window.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;
using support::WaitFor;

FoundListing Listing(int minute, const QString& site, const QString& title, const QString& link) {
    return {.when = QDateTime(QDate(2024, 5, 6), QTime(9, minute)),
            .siteId = {},
            .site = site,
            .title = title,
            .link = QUrl(link),
            .page = QUrl(u"https://www.miojob.it/lavoro/veneto"_s)};
}

// The window shown with five listings, and the desktop's opener in the stand-in's hands for
// every scheme a listing could carry.
class FoundListingsE2e : public ::testing::Test {
  protected:
    static inline const QStringList kSchemes = {u"http"_s, u"https"_s, u"file"_s, u"javascript"_s};

    void SetUp() override {
        for (const QString& scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, &browser, "open");
        FoundListing filtered = Listing(2, u"InfoJobs"_s, u"Cuoco capo partita"_s,
                                        u"https://www.infojobs.it/offerta/2"_s);
        filtered.filtered = true;
        FoundListing elsewhere = Listing(3, u"MioJob"_s, u"=SOMMA(A1;B1) \"Operaio\""_s,
                                         u"https://www.miojob.it/annuncio/3"_s);
        elsewhere.alsoOn = u"Jobrapido"_s;
        list.add({Listing(1, u"Jobrapido"_s, u"Magazziniere carrellista"_s,
                          u"https://www.jobrapido.it/annuncio/1"_s),
                  filtered, elsewhere,
                  Listing(4, u"Jobonline"_s, u"Barista"_s, u"javascript:alert(1)"_s),
                  Listing(5, u"MioJob"_s, u"Commesso"_s, u"file:///etc/passwd"_s)},
                 {true, false, false, true, true});
        window = std::make_unique<FoundListingsWindow>();
        // As the program opens a row: the list says what may be opened, the opener opens it.
        QObject::connect(window.get(), &FoundListingsWindow::openAsked, window.get(),
                         [this](qsizetype row) {
                             asked << row;
                             if (const std::optional<QUrl> link = list.open(row))
                                 OpenInBrowser(*link);
                             window->refresh(list);
                         });
        window->show(list);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        for (const QString& scheme : kSchemes) QDesktopServices::unsetUrlHandler(scheme);
    }

    QAbstractItemModel* rows() const { return window->listView()->model(); }
    QString cell(int row, int column) const { return rows()->index(row, column).data().toString(); }
    QStringList shownTitles() const {
        QStringList titles;
        for (int row = 0; row < rows()->rowCount(); ++row) titles << cell(row, 2);
        return titles;
    }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    BrowserStandIn browser;
    FoundList list;
    QList<qsizetype> asked;
    std::unique_ptr<FoundListingsWindow> window;
};

TEST_F(FoundListingsE2e, KeysAloneOpenTheSelectedListingInTheBrowserAndEscapeCloses) {
    EXPECT_EQ(window->windowTitle(), u"Annunci trovati (3 da aprire)"_s);
    ASSERT_EQ(QApplication::focusWidget(), window->listView());
    // On the title: a screen reader reads what each row offers, not its date.
    EXPECT_EQ(window->listView()->currentIndex().column(), 2);
    // The newest is selected; three rows down, past the filtered one, is the first found.
    for (int i = 0; i < 3; ++i) press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(asked, QList<qsizetype>{4});
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.first().toString(), u"https://www.jobrapido.it/annuncio/1"_s);
    EXPECT_EQ(window->windowTitle(), u"Annunci trovati (2 da aprire)"_s);

    // A double click opens a row as well.
    QTreeView* view = window->listView();
    const QRect second = view->visualRect(rows()->index(2, 2));
    // As a user's: a click, then the second press, a double click, and its release.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(asked, (QList<qsizetype>{4, 2}));
    ASSERT_EQ(browser.opened.size(), 2);
    EXPECT_EQ(browser.opened.last().toString(), u"https://www.miojob.it/annuncio/3"_s);

    press(Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return !window->isVisible(); }));
}

TEST_F(FoundListingsE2e, AFileOrAScriptLinkOpensNothing) {
    press(Qt::Key_Return);  // the file
    press(Qt::Key_Down);
    press(Qt::Key_Return);  // the script
    EXPECT_EQ(asked, (QList<qsizetype>{0, 1}));
    EXPECT_TRUE(browser.opened.isEmpty());
    EXPECT_FALSE(OpenInBrowser(QUrl(u"file:///etc/passwd"_s)));
    EXPECT_FALSE(OpenInBrowser(QUrl(u"javascript:alert(1)"_s)));
    EXPECT_FALSE(OpenInBrowser(QUrl(u"https:relative"_s)));
    EXPECT_TRUE(browser.opened.isEmpty());
    // Seen, all the same: nothing would ever open them.
    EXPECT_EQ(window->windowTitle(), u"Annunci trovati (1 da aprire)"_s);
}

TEST_F(FoundListingsE2e, TypingInTheSearchBoxNarrowsTheListAndDownOpensWhatIsLeft) {
    QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), window->filterBox());
    EXPECT_EQ(window->filterBox()->placeholderText(), u"Cerca negli annunci"_s);
    QTest::keyClicks(window->filterBox(), u"MAGAZ jobrap"_s);
    EXPECT_EQ(shownTitles(), QStringList{u"Magazziniere carrellista"_s});
    press(Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget(), window->listView());
    press(Qt::Key_Return);
    EXPECT_EQ(asked, QList<qsizetype>{4});

    window->filterBox()->clear();
    EXPECT_EQ(shownTitles().size(), 4);
}

TEST_F(FoundListingsE2e, FilteredListingsShowOnlyOnceTheBoxIsTicked) {
    EXPECT_FALSE(shownTitles().contains(u"Cuoco capo partita (filtrato)"_s));
    window->showFilteredBox()->setFocus();
    press(Qt::Key_Space);
    ASSERT_TRUE(window->showFilteredBox()->isChecked());
    ASSERT_EQ(shownTitles().size(), 5);
    EXPECT_EQ(cell(3, 2), u"Cuoco capo partita (filtrato)"_s);
    EXPECT_NE(rows()->index(3, 2).data(Qt::ForegroundRole),
              rows()->index(2, 2).data(Qt::ForegroundRole));
    press(Qt::Key_Space);
    EXPECT_EQ(shownTitles().size(), 4);
}

TEST_F(FoundListingsE2e, EachListingShowsAsItWasFoundNewestFirst) {
    EXPECT_EQ(shownTitles(),
              (QStringList{u"Commesso"_s, u"Barista"_s, u"=SOMMA(A1;B1) \"Operaio\""_s,
                           u"Magazziniere carrellista"_s}));
    const QStringList formula{cell(2, 0), cell(2, 1), cell(2, 3)};
    EXPECT_EQ(formula, (QStringList{u"06/05/2024 09:03"_s, u"MioJob"_s, u"anche su Jobrapido"_s}));
    EXPECT_EQ(rows()->headerData(3, Qt::Horizontal).toString(), u"Note"_s);
}

TEST_F(FoundListingsE2e, NewListingsComeOnTopAndTheSelectedOneStaysSelected) {
    press(Qt::Key_Down);
    ASSERT_EQ(cell(window->listView()->currentIndex().row(), 2), u"Barista"_s);
    list.add({Listing(6, u"Jobrapido"_s, u"Autista patente C"_s, u"https://a.it/6"_s)}, {true});
    window->refresh(list);
    EXPECT_EQ(shownTitles().first(), u"Autista patente C"_s);
    EXPECT_EQ(cell(window->listView()->currentIndex().row(), 2), u"Barista"_s);
    EXPECT_EQ(window->windowTitle(), u"Annunci trovati (4 da aprire)"_s);
    press(Qt::Key_Return);
    EXPECT_EQ(asked, QList<qsizetype>{2});
}

// What a tooltip shows of its text: Qt renders it as markup when it looks like some.
QString AsShown(const QString& tip) {
    if (!Qt::mightBeRichText(tip)) return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

// Hovering a title shows it whole, the column may cut it, and then its address as it stands:
// its entities stay entities, and a bidi override that one of them spells is not brought back.
TEST_F(FoundListingsE2e, TheAddressTooltipShowsThePagesTextAsItStands) {
    const QStringList links{u"http://a.it/offerta?x=&lt;&#x202E;gnp.sptth"_s,
                            u"https://a.it/?x=&lt;b&gt;grassetto&lt;/b&gt;"_s,
                            u"https://a.it/<b>x</b>"_s};
    for (const QString& link : links) {
        list.add({Listing(9, u"MioJob"_s, u"Offerta"_s, link)}, {true});
        window->refresh(list);
        const QString tip = rows()->index(0, 2).data(Qt::ToolTipRole).toString();
        EXPECT_EQ(AsShown(tip), u"Offerta\n"_s + ShownAddress(QUrl(link))) << link.toStdString();
    }
}

TEST_F(FoundListingsE2e, EveryControlSaysWhatItIsFor) {
    EXPECT_EQ(AccessibilityFaults(QAccessible::queryAccessibleInterface(window.get())),
              QStringList{});
    EXPECT_EQ(MnemonicClashes(window.get()), QStringList{});
}

}  // namespace
}  // namespace quintavia::e2e
