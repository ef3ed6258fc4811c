#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "core/listings/found_listing.h"

namespace quintavia {

// What a click on a notification does: bring the window back, open the listing's link in the
// user's browser, show the list of what was found, or open "Impostazioni" at a pane.
enum class NoticeAction { ShowWindow, OpenLink, ShowFound, ShowSettings };

// What the program tells the user outside its window, as plain text.
struct Notice {
    QString summary;
    QString body;
    // How long the desktop shows it; -1 leaves that to the desktop.
    int timeoutMs = -1;
    NoticeAction action = NoticeAction::ShowWindow;
    QUrl link{};    // what OpenLink opens: an http or https address (IsOpenableLink)
    int pane = -1;  // ShowSettings: the pane whose site is chosen there
    // What the notice is about, for the notices taken back later (BlindTag); empty for one
    // that stays until the user or the desktop closes it.
    QString tag{};

    bool operator==(const Notice&) const = default;
};

// The tag of a site's blind notice: taken back once the site is watched again or another site
// takes its pane.
QString BlindTag(const QString& siteId);

// The most titles a notification names; the others are counted.
inline constexpr qsizetype kNoticeTitles = 3;

// `count` new listings of the site named `site`, of which `first` are the first few (at most
// kNoticeTitles are named): one reads "Nuovo annuncio su <site>" with its title, more "<count>
// nuovi annunci su <site>" with a title a line and "e altri N" for the rest. Each title comes
// with its company and place where the site tells them (TitleWithDetails). A click opens the
// first listing's own link when it has one that may be opened, else the list of what was
// found.
Notice ListingsNotice(const QString& site, const QList<FoundListing>& first, int count);
// A site turned blind, with BlindReason's text and what the user can do (BlindAdviceFor); one
// never seen working is said not to be watched, rather than no longer. A click opens
// "Impostazioni" at `pane`.
Notice BlindNotice(const QString& site, const QString& reason, const QString& advice = {},
                   bool watchedBefore = true, int pane = -1);
// A site that was blind shows its listings again; a short notice.
Notice WatchedAgainNotice(const QString& site);

// A notification's body: each line of the text as shown outside the page (ShownText), of which at
// most kNoticeBodyUnits UTF-16 units are kept, never splitting a pair (a page can make a title of
// megabytes); half of a surrogate pair becomes U+FFFD. For a desktop that reads the body as
// markup, &, <, >, " and ' become character references, so that the text stays the text; any
// other desktop gets it as it is.
inline constexpr qsizetype kNoticeBodyUnits = 1000;
QString NoticeBody(const QString& text, bool markup);

// A blind site's state as the tooltips tell it: the reason, then what to do.
QString BlindState(const QString& reason, const QString& advice);

// The tray icon's tooltip: the seconds to the next refresh and, per pane's site (by name),
// watched, still being checked (`checking`, until its first capture) or blind with the reason
// (BlindState; empty reason: watched). Then, when there are, how many listings found are not
// yet opened.
QString TrayToolTip(int secondsLeft, const QStringList& siteNames, const QStringList& blindReasons,
                    int unopened = 0, const QList<bool>& checking = {});

// The site label's tooltip: empty while the site is watched.
QString SiteLabelToolTip(const QString& blindReason, bool checking = false);

}  // namespace quintavia
