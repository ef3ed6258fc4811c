// Fixture sites for long runs: each site's newest listing changes every few loads, a page can
// be padded with older listings to a chosen size, and every title served is remembered. Hostile
// pages also alert and ask to be confirmed, ask for powers, flood their console, ask for a
// window by themselves and reload themselves every second.
// With boards, panes 2 and 3 show two boards of the user's, read by selector, each load of which
// adds listings at the top, each with its own link; a board's page shows its newest 50.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "core/layout/panes.h"
#include "fixture_server.h"
#include "listing_pages.h"
#include "store/settings_file.h"

namespace quintavia::soak {

class SoakSites {
  public:
    static constexpr int kFirstBoard = 2;   // panes 2 and 3, when there are boards
    static constexpr int kBoardShown = 50;  // the newest listings a board's page shows

    // Site i's newest title changes every changeEvery[i] loads of it (at least 1). With
    // boardAdds > 0, panes 2 and 3 are boards that add that many listings at every load.
    SoakSites(std::array<int, fixtures::kPaneCount> changeEvery, int pageKib, bool hostile = false,
              int boardAdds = 0);

    bool isBoard(int site) const { return boardAdds_ > 0 && site >= kFirstBoard; }
    // Writes the boards' rules to the sites file beside `store`'s and puts them in panes 2 and
    // 3, before the window starts; nothing without boards. Gives what went wrong, if anything.
    QString placeBoards(SettingsFile& store) const;

    // Answers for the four sites; `this` must outlive the handler's use.
    fixtures::Handler handler();

    int loads(int site) const { return loads_[static_cast<std::size_t>(site)]; }
    // Each newest title served for a site, once, in the order first served.
    const QStringList& served(int site) const { return served_[static_cast<std::size_t>(site)]; }
    // The served title that a site's page markup shows as its newest listing; empty if none.
    QString titleIn(int site, const QString& markup) const;

    // Every listing served, once, in the order first served, by the key the history is
    // compared on: a board's listing by its link, a marker site's by its title as the program
    // reads it (upper case).
    const QStringList& servedKeys(int site) const {
        return servedKeys_[static_cast<std::size_t>(site)];
    }
    // The keys of the served listings that a site's page markup shows.
    QStringList keysIn(int site, const QString& markup) const;

  private:
    QByteArray page(int site, const QString& title) const;
    QByteArray boardPage(int site) const;
    QString boardLink(int site, int number) const;

    std::array<int, fixtures::kPaneCount> changeEvery_;
    qsizetype pageBytes_;
    bool hostile_;
    int boardAdds_;
    std::array<int, fixtures::kPaneCount> loads_{};
    std::array<QStringList, fixtures::kPaneCount> served_;
    std::array<QStringList, fixtures::kPaneCount> servedKeys_;
};

}  // namespace quintavia::soak
