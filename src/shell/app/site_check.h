#pragma once

#include <QString>
#include <optional>

#include "core/sites/site_rules.h"
#include "core/watch/watch_controller.h"

namespace quintavia {

// How long a check waits for the site's page: a site that has not answered by then would have
// been refreshed by the running program long since.
inline constexpr int kSiteCheckSeconds = 60;

// The site of the merged catalogue (the built-in one with the sites file at `sitesPath` over
// it) to check: none, after one line on standard error, when no site has the id. The sections
// of the file that were refused are told on standard error either way.
std::optional<SiteRule> SiteToCheck(const QString& sitesPath, const QString& id);

// The first page a pane showing `rule` reads at `address`, as the program's panes read it, in a
// browser profile kept in memory; none within kSiteCheckSeconds. The application must exist.
std::optional<PageCapture> CapturePage(const SiteRule& rule, const QString& address);

// `quintavia --prova-sito`: loads the site's search for `query` in one pane as the program's
// panes load it (the same page guards, the same listing script), in a browser profile kept in
// memory, so that the running program's cookies and cache are neither read nor written. Prints
// what CheckReport says on standard output. The application object must exist. Returns the
// exit status: 0 when a listing was found, 1 when none was.
int CheckSiteAndReport(const SiteRule& rule, const SearchQuery& query);

// `quintavia --prova-sito URL`: reads the page at `address` by its structure as a pane would,
// prints its listings (title, link, company, place, key) or why there are none, and the
// section for the sites file it proposes, where `region` and `words` (those given, or empty to
// find them in the address) become placeholders. Returns 0 with listings, 1 without.
int CheckAddressAndReport(const QUrl& address, const QString& region, const QString& words);

// `quintavia --siti`: the merged catalogue in the sites file's form on standard output, and the
// sections of the file at `sitesPath` that were refused on standard error. Returns 0.
int PrintCatalogue(const QString& sitesPath);

}  // namespace quintavia
