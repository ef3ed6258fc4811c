#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <memory>

#include "app/check_box.h"
#include "bench.h"
#include "scripted_sites.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

class ListingWatch : public ::testing::Test {
  protected:
    void SetUp() override {
        Bench::instance().reset();
        Bench::instance().server().setHandler(sites.handler());
        form = StartWindow();
        log = form->findChild<QComboBox*>("Combo2");
        for (int i = 0; i < kSiteCount; ++i)
            QObject::connect(form->pane(i), &WebPane::downloadComplete, form.get(),
                             [this, i] { ++completions[i]; });
    }
    void TearDown() override {
        form.reset();
        Bench::instance().reset();
    }

    QStringList Entries() const {
        QStringList entries;
        for (int i = 0; i < log->count(); ++i) entries << log->itemText(i);
        return entries;
    }

    // Waits until every pane has finished one more download than `before`, and returns the
    // log entries added meanwhile, sorted: the panes finish in any order.
    QStringList AfterEveryPaneCompletes(std::array<int, kSiteCount> before) {
        const qsizetype logged = log->count();
        const bool done = WaitUntil([&] {
            for (int i = 0; i < kSiteCount; ++i)
                if (completions[i] <= before[i]) return false;
            return true;
        });
        EXPECT_TRUE(done) << "not every pane finished its download";
        QStringList added = Entries().mid(logged);
        added.sort();
        return added;
    }

    ScriptedSites sites{.titles = {u"Magazziniere"_s, u"Bar & ristorante"_s,
                                   u"Cuoco capo partita"_s, u"Autista patente C"_s}};
    std::unique_ptr<Form1> form;
    QComboBox* log = nullptr;
    std::array<int, kSiteCount> completions{};
};

TEST_F(ListingWatch, NewTitlesAreLoggedOnceEachInTheOrderTheyAppear) {
    // First run: every site's newest title is new. The engine writes the ampersand as a
    // character reference, and it is not decoded.
    EXPECT_EQ(AfterEveryPaneCompletes({}),
              (QStringList{u"Infojobs : AUTISTA PATENTE C"_s, u"Jobonline: CUOCO CAPO PARTITA"_s,
                           u"Jobrapido: BAR &AMP; RISTORANTE"_s, u"MioJob   : MAGAZZINIERE"_s}));
    EXPECT_EQ(log->currentText(), Entries().back());

    // Two sites change; the sound box is ticked, and no sound file nor audio device is there.
    form->findChild<CheckBox3*>("Check2")->click();
    sites.titles[1] = u"Operaio metalmeccanico"_s;
    sites.titles[3] = u"Infermiere professionale"_s;
    auto* refresh = form->findChild<QPushButton*>("Command1");
    refresh->click();
    EXPECT_EQ(AfterEveryPaneCompletes(completions),
              (QStringList{u"Infojobs : INFERMIERE PROFESSIONALE"_s,
                           u"Jobrapido: OPERAIO METALMECCANICO"_s}));
    EXPECT_EQ(log->currentText(), Entries().back());

    // The same titles again, once in other letter case: nothing new.
    sites.titles[2] = u"CUOCO Capo Partita"_s;
    refresh->click();
    EXPECT_EQ(AfterEveryPaneCompletes(completions), QStringList{});

    // A title that comes back is new again.
    sites.titles[1] = u"Bar & ristorante"_s;
    refresh->click();
    EXPECT_EQ(AfterEveryPaneCompletes(completions),
              QStringList{u"Jobrapido: BAR &AMP; RISTORANTE"_s});

    // Per site, the entries follow the order in which the titles appeared.
    QStringList jobrapido;
    for (const QString& entry : Entries())
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
    const int before = completions[1];
    form->pane(1)->reload();
    ASSERT_TRUE(WaitUntil([&] { return completions[1] > before; }));
    // The pane raises its event again for the page it holds.
    emit form->pane(1)->downloadComplete(1);
    EXPECT_EQ(completions[1], before + 2);
    EXPECT_EQ(log->count(), logged);

    // A new title on the next load is logged once, however often the pane reports it.
    sites.titles[1] = u"Receptionist d'albergo"_s;
    form->pane(1)->reload();
    ASSERT_TRUE(WaitUntil([&] { return completions[1] > before + 2; }));
    emit form->pane(1)->downloadComplete(1);
    EXPECT_EQ(Entries().mid(logged), QStringList{u"Jobrapido: RECEPTIONIST D'ALBERGO"_s});
}

}  // namespace
}  // namespace quintavia::e2e
