#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "bench.h"

namespace quintavia::e2e {
namespace {

// The engine escapes what the program leaves as it is: blanks everywhere, the apostrophe only
// in a query.
QList<QByteArray> Lines(const QByteArray& inPath, const QByteArray& inQuery, int number) {
    return {
        "GET http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-" + inPath +
            " HTTP/1.1",
        "GET http://it.jobrapido.com/?w=&l=" + inQuery + "&r=auto HTTP/1.1",
        "GET http://www.jobonline.it/lavoro/?fld2=0&fld3=" + QByteArray::number(number) +
            "&fld4=0&fld1=ricerca+testuale&search=cerca+lavoro HTTP/1.1",
        "GET http://www.infojobs.it/offerte-lavoro/" + inPath + " HTTP/1.1",
    };
}

// The panes load in parallel, so their requests may arrive in any order.
::testing::AssertionResult ReceivesExactly(QList<QByteArray> expected) {
    Bench& bench = Bench::instance();
    const bool arrived = WaitUntil([&] { return bench.siteRequestLines().size() >= 4; });
    QList<QByteArray> seen = bench.siteRequestLines();
    std::sort(seen.begin(), seen.end());
    std::sort(expected.begin(), expected.end());
    if (arrived && seen == expected) return ::testing::AssertionSuccess();
    QByteArray all;
    for (const QByteArray& line : bench.siteRequestLines()) all += "\n  " + line;
    return ::testing::AssertionFailure() << "the fixture server saw:" << all.constData();
}

class SiteSearches : public ::testing::Test {
protected:
    void SetUp() override { Bench::instance().reset(); }
};

TEST_F(SiteSearches, StartUpRegionChoiceAndRefreshReachTheSites) {
    Bench& bench = Bench::instance();
    auto form = StartWindow();
    EXPECT_EQ(form->windowTitle(), "Quintavia by Norvello - www.norvello.it");
    ASSERT_TRUE(ReceivesExactly(Lines("Abruzzo", "Abruzzo", 1)));

    auto* regions = form->findChild<QComboBox*>("Combo1");
    ASSERT_NE(regions, nullptr);
    ASSERT_EQ(regions->count(), 19);
    EXPECT_EQ(regions->currentText(), "Abruzzo");

    bench.server().clearRequests();
    regions->setCurrentIndex(6);
    emit regions->activated(6);
    ASSERT_TRUE(ReceivesExactly(Lines("Lazio", "Lazio", 7)));

    // "Aggiorna" sends the box's text as it stands, typed or chosen.
    bench.server().clearRequests();
    regions->setEditText("Valle d'Aosta");
    form->findChild<QPushButton*>("Command1")->click();
    ASSERT_TRUE(ReceivesExactly(Lines("Valle%20d'Aosta", "Valle%20d%27Aosta", 7)));

    // Typing a region's name and leaving the box, or pressing Enter, is not a choice.
    bench.server().clearRequests();
    regions->lineEdit()->setText("Lombardia");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(regions->lineEdit(), &enter);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(regions->lineEdit(), &focusOut);
    EXPECT_FALSE(WaitUntil([&] { return !bench.siteRequestLines().isEmpty(); }, 1500));
    EXPECT_EQ(form->logic().regionIndex(), 6);
}

}  // namespace
}  // namespace quintavia::e2e
