#include "search/countdown.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "fakes.h"

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quintavia::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

QString LongTitle(const QString& count) {
    return u"Quintavia by Norvello - www.norvello.it : "_s + count;
}

class Countdown : public ::testing::Test {
  protected:
    void SetUp() override {
        w.logic.onLoad();
        w.journal.clear();
    }

    // The number of refreshes seen so far: each one sends four addresses.
    int Refreshes() const { return static_cast<int>(w.journal.size()) / kSiteCount; }

    FakeWindow w;
};

TEST_F(Countdown, CountsDownFrom299AndRefreshesOnTheTickThatFindsZero) {
    struct Row {
        int tick;
        const char* count;
        int refreshes;
    };
    const Row table[] = {{1, "299", 0},   {2, "298", 0},   {299, "1", 0}, {300, "0", 0},
                         {301, "299", 1}, {302, "298", 1}, {600, "0", 1}, {601, "299", 2}};
    int tick = 0;
    QStringList titles;
    for (const Row& row : table) {
        while (tick < row.tick) {
            w.logic.onTimerTick();
            titles << w.controls.title;
            ++tick;
        }
        EXPECT_EQ(w.controls.tag, QString::fromLatin1(row.count)) << tick;
        EXPECT_EQ(w.controls.title, LongTitle(QString::fromLatin1(row.count))) << tick;
        EXPECT_EQ(Refreshes(), row.refreshes) << tick;
    }
    // The title never shows 300, and every refresh sends the four searches in pane order.
    EXPECT_FALSE(titles.contains(LongTitle(u"300"_s)));
    ASSERT_EQ(w.journal.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(w.journal[i].substr(0, 10), "navigate " + std::to_string(i % 4));
}

TEST_F(Countdown, OtherRefreshesLeaveTheCountAlone) {
    w.controls.tag = u"57"_s;
    w.logic.onRefreshClicked();
    w.controls.listIndex = 6;
    w.logic.onRegionChosen();
    EXPECT_EQ(w.controls.tag, u"57"_s);
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.tag, u"56"_s);
    EXPECT_EQ(Refreshes(), 2);
}

TEST_F(Countdown, TitleFormFollowsTheWindowState) {
    w.controls.state = WindowState::Minimized;
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.title, u"299 - Quintavia"_s);
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.title, u"298 - Quintavia"_s);
    w.controls.state = WindowState::Maximized;
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.title, LongTitle(u"297"_s));
    w.controls.state = WindowState::Normal;
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.title, LongTitle(u"296"_s));
    // A state that cannot be read gives the short form.
    w.controls.state.reset();
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.title, u"295 - Quintavia"_s);

    // Minimized on the tick that refreshes.
    w.controls.state = WindowState::Minimized;
    w.controls.tag = u"0"_s;
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.title, u"299 - Quintavia"_s);
    EXPECT_EQ(Refreshes(), 1);
}

TEST_F(Countdown, ACountThatIsNoNumberCountsAsZero) {
    int refreshes = 0;
    for (const QString& bad : {u"abc"_s, u""_s, u"nan"_s, u"inf"_s, u"12abc"_s}) {
        w.controls.tag = bad;
        w.logic.onTimerTick();
        EXPECT_EQ(w.controls.tag, u"299"_s) << bad.toStdString();
        EXPECT_EQ(Refreshes(), ++refreshes) << bad.toStdString();
    }
}

TEST_F(Countdown, CountsAreReadLikeNumbersAndWrittenShortest) {
    const std::pair<QString, QString> cases[] = {{u" 7 "_s, u"6"_s},   {u"2.5"_s, u"1.5"_s},
                                                 {u"1e3"_s, u"999"_s}, {u"-4"_s, u"-5"_s},
                                                 {u"0.0"_s, u"299"_s}, {u"1"_s, u"0"_s}};
    for (const auto& [before, after] : cases) {
        w.controls.tag = before;
        w.logic.onTimerTick();
        EXPECT_EQ(w.controls.tag, after) << before.toStdString();
    }
    EXPECT_EQ(Refreshes(), 1);  // only "0.0" is zero

    // The user's locale is read first: an Italian decimal comma is a number too.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    w.controls.tag = u"2,5"_s;
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.tag, u"1.5"_s);
    w.controls.tag = u"299"_s;
    w.logic.onTimerTick();
    EXPECT_EQ(w.controls.tag, u"298"_s);
    QLocale::setDefault(saved);
}

}  // namespace
}  // namespace quintavia::testing
