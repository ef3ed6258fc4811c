#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/sites/site_rules.h"

namespace quintavia {

// What the window says of the sites its panes show, for those who cannot see the panes: the
// window's description for assistive technology, named after the sites shown now.
QString WindowDescription(const QStringList& siteNames);

// Whether a site's search takes the keywords: its address holds {parole} or {parole_slug}.
bool SearchesKeywords(const SiteRule& site);

// Under the keywords in "Impostazioni": which panes, by number, search them, as the sites
// chosen stand (`panes`, in pane order); a site whose address has no place for them shows its
// own search whatever they are.
QString KeywordPanesNote(const QList<SiteRule>& panes);

}  // namespace quintavia
