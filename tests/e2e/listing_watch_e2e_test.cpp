#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <memory>

#include "core/layout/panes.h"
#include "scripted_sites.h"
#include "shell/window/tri_state_check_box.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

class ListingWatch : public ScriptedSitesTest {
  protected:
    void SetUp() override {
        ScriptedSitesTest::SetUp();
        sites.titles[1] = u"Bar & ristorante"_s;
        Start();
        log = window->findChild<QComboBox*>("logBox");
    }

    // Waits until every pane has read one more page than `before`, and returns the log
    // entries added meanwhile, sorted: the panes finish in any order.
    QStringList AfterEveryPaneCompletes(std::array<int, kPaneCount> before) {
        const qsizetype logged = log->count();
        const bool done = WaitFor([&] {
            for (int i = 0; i < kPaneCount; ++i)
                if (captures->count(i) <= before[static_cast<std::size_t>(i)]) return false;
            return true;
        });
        EXPECT_TRUE(done) << "not every pane read its page";
        return EntriesSince(logged);
    }
    std::array<int, kPaneCount> Counts() const {
        return {captures->count(0), captures->count(1), captures->count(2), captures->count(3)};
    }

    QComboBox* log = nullptr;
};

TEST_F(ListingWatch, NewTitlesAreLoggedOnceEachInTheOrderTheyAppear) {
    // First run: every site's newest title is new. The engine writes the ampersand as a
    // character reference, and it is not decoded.
    EXPECT_EQ(AfterEveryPaneCompletes({}),
              (QStringList{u"Infojobs : AUTISTA PATENTE C"_s, u"Jobonline: CUOCO CAPO PARTITA"_s,
                           u"Jobrapido: BAR &AMP; RISTORANTE"_s, u"MioJob   : MAGAZZINIERE"_s}));
    EXPECT_EQ(log->currentText(), LogEntries(*window).back());

    // Two sites change; the sound box is ticked, and no sound file nor audio device is there.
    window->findChild<TriStateCheckBox*>("soundAlertOption")->click();
    sites.titles[1] = u"Operaio metalmeccanico"_s;
    sites.titles[3] = u"Infermiere professionale"_s;
    auto* refresh = window->findChild<QPushButton*>("refreshButton");
    refresh->click();
    EXPECT_EQ(AfterEveryPaneCompletes(Counts()),
              (QStringList{u"Infojobs : INFERMIERE PROFESSIONALE"_s,
                           u"Jobrapido: OPERAIO METALMECCANICO"_s}));
    EXPECT_EQ(log->currentText(), LogEntries(*window).back());

    // The same titles again, once in other letter case: nothing new.
    sites.titles[2] = u"CUOCO Capo Partita"_s;
    refresh->click();
    EXPECT_EQ(AfterEveryPaneCompletes(Counts()), QStringList{});

    // A title that comes back is new again.
    sites.titles[1] = u"Bar & ristorante"_s;
    refresh->click();
    EXPECT_EQ(AfterEveryPaneCompletes(Counts()), QStringList{u"Jobrapido: BAR &AMP; RISTORANTE"_s});

    // Per site, the entries follow the order in which the titles appeared.
    QStringList jobrapido;
    for (const QString& entry : LogEntries(*window))
        if (entry.startsWith(u"Jobrapido"_s)) jobrapido << entry;
    EXPECT_EQ(jobrapido, (QStringList{u"Jobrapido: BAR &AMP; RISTORANTE"_s,
                                      u"Jobrapido: OPERAIO METALMECCANICO"_s,
                                      u"Jobrapido: BAR &AMP; RISTORANTE"_s}));
    EXPECT_EQ(log->count(), 7);
}

TEST_F(ListingWatch, APaneThatCompletesTwiceForOnePageLogsItOnce) {
    EXPECT_EQ(AfterEveryPaneCompletes({}).size(), 4);
    const qsizetype logged = log->count();

    // The engine loads the same page again.
    const int before = captures->count(1);
    window->pane(1)->reload();
    ASSERT_TRUE(WaitFor([&] { return captures->count(1) > before; }));
    // The pane tells of the page it holds once more.
    emit window->pane(1)->pageCaptured(1, captures->last(1));
    EXPECT_EQ(captures->count(1), before + 2);
    EXPECT_EQ(log->count(), logged);

    // A new title on the next load is logged once, however often the pane reports it.
    sites.titles[1] = u"Receptionist d'albergo"_s;
    window->pane(1)->reload();
    ASSERT_TRUE(WaitFor([&] { return captures->count(1) > before + 2; }));
    emit window->pane(1)->pageCaptured(1, captures->last(1));
    EXPECT_EQ(LogEntries(*window).mid(logged), QStringList{u"Jobrapido: RECEPTIONIST D'ALBERGO"_s});
}

}  // namespace
}  // namespace quintavia::e2e
