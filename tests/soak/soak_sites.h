// Fixture sites for long runs: each site's newest listing changes every few loads, a page can
// be padded with older listings to a chosen size, and every title served is remembered. Hostile
// pages also alert and ask to be confirmed, ask for powers, flood their console, ask for a
// window by themselves and reload themselves every second.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "fixture_server.h"
#include "listing_pages.h"

namespace quintavia::soak {

class SoakSites {
  public:
    // Site i's newest title changes every changeEvery[i] loads of it (at least 1).
    SoakSites(std::array<int, fixtures::kSiteCount> changeEvery, int pageKib, bool hostile = false);

    // Answers for the four sites; `this` must outlive the handler's use.
    fixtures::Handler handler();

    int loads(int site) const { return loads_[static_cast<std::size_t>(site)]; }
    // Each title served for a site, once, in the order first served.
    const QStringList& served(int site) const { return served_[static_cast<std::size_t>(site)]; }
    // The served title that a site's page markup shows as its newest listing; empty if none.
    QString titleIn(int site, const QString& markup) const;

  private:
    QByteArray page(int site, const QString& title) const;

    std::array<int, fixtures::kSiteCount> changeEvery_;
    qsizetype pageBytes_;
    bool hostile_;
    std::array<int, fixtures::kSiteCount> loads_{};
    std::array<QStringList, fixtures::kSiteCount> served_;
};

}  // namespace quintavia::soak
