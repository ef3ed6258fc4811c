#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "core/layout/panes.h"
#include "harness.h"
#include "listing_pages.h"

namespace quintavia::e2e {

// Each site serves a listing page with the newest title the test has set for it, or the
// answer the test has set in its place (a fault, an odd document). Both are read at every
// request, so a test changes them between loads.
struct ScriptedSites {
    std::array<QString, kPaneCount> titles{
        QStringLiteral("Magazziniere"), QStringLiteral("Cameriere di sala"),
        QStringLiteral("Cuoco capo partita"), QStringLiteral("Autista patente C")};
    std::array<std::optional<fixtures::Response>, kPaneCount> answers{};

    fixtures::Handler handler() {
        return [this](const fixtures::Request& request) {
            const int site = fixtures::SiteForHost(request.host);
            if (site < 0) return fixtures::Response{.status = 404};
            if (answers[site]) return *answers[site];
            return fixtures::Response{.body = fixtures::ListingPage(site, titles[site])};
        };
    }
};

// A window against the sites `Sites` scripts (anything with a handler()), started from no
// stored settings, so that every site's first title is new.
template <typename Sites>
class WindowOnSitesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Harness::instance().reset();
        Harness::instance().server().setHandler(sites.handler());
    }
    void TearDown() override {
        captures.reset();
        window.reset();
        Harness::instance().reset();
    }

    void Start() {
        window = StartWindow();
        captures = std::make_unique<Captures>(*window);
    }

    // The log entries added since the first `from`, sorted: the panes finish in any order.
    QStringList EntriesSince(qsizetype from) const {
        QStringList added = LogEntries(*window).mid(from);
        added.sort();
        return added;
    }

    Sites sites;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Captures> captures;
};

using ScriptedSitesTest = WindowOnSitesTest<ScriptedSites>;

}  // namespace quintavia::e2e
