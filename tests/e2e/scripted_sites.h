#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "app/form1.h"
#include "bench.h"
#include "downloads.h"
#include "listing_pages.h"

namespace quintavia::e2e {

// Each site serves a listing page with the newest title the test has set for it, or the
// answer the test has set in its place (a fault, an odd document). Both are read at every
// request, so a test changes them between loads.
struct ScriptedSites {
    std::array<QString, kSiteCount> titles{};
    std::array<std::optional<fixtures::Response>, kSiteCount> answers{};

    fixtures::Handler handler() {
        return [this](const fixtures::Request& request) {
            const int site = fixtures::SiteForHost(request.host);
            if (site < 0) return fixtures::Response{.status = 404};
            if (answers[site]) return *answers[site];
            return fixtures::Response{.body = fixtures::ListingPage(site, titles[site])};
        };
    }
};

// The entries of the window's log box, oldest first.
inline QStringList LogEntries(const Form1& form) {
    const auto* log = form.findChild<QComboBox*>(QStringLiteral("Combo2"));
    QStringList entries;
    for (int i = 0; log && i < log->count(); ++i) entries << log->itemText(i);
    return entries;
}

// The tick that finds the count at "0": the countdown's own refresh, without waiting 300 s.
inline void RunCountdownOut(Form1& form) {
    form.setTimerTag(QStringLiteral("0"));
    form.logic().onTimerTick();
}

// A window against scripted sites, started from no stored settings, so that every site's
// first title is new.
class ScriptedSitesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Bench::instance().reset();
        Bench::instance().server().setHandler(sites.handler());
        QDir(Bench::instance().configDir() + QStringLiteral("/Quintavia")).removeRecursively();
    }
    void TearDown() override {
        downloads.reset();
        form.reset();
        Bench::instance().reset();
    }

    void Start() {
        form = StartWindow();
        downloads = std::make_unique<DownloadCounter>(*form);
    }

    // The log entries added since the first `from`, sorted: the panes finish in any order.
    QStringList EntriesSince(qsizetype from) const {
        QStringList added = LogEntries(*form).mid(from);
        added.sort();
        return added;
    }

    ScriptedSites sites{
        .titles = {QStringLiteral("Magazziniere"), QStringLiteral("Cameriere di sala"),
                   QStringLiteral("Cuoco capo partita"), QStringLiteral("Autista patente C")}};
    std::unique_ptr<Form1> form;
    std::unique_ptr<DownloadCounter> downloads;
};

}  // namespace quintavia::e2e
