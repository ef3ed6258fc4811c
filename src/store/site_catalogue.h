#pragma once

#include <QString>
#include <QStringList>

#include "core/sites/site_rules.h"
#include "store/ini_document.h"
#include "store/io/write_result.h"

namespace quintavia {

// The user's sites file, in the form of the settings file: one section per site id, with the
// keys
//
//   nome            the name the notices use
//   etichetta       the label over the pane (the name when not given)
//   indirizzo       the search address, with its placeholders
//   dominio         the registrable domain of the site's own pages
//   marcatore       the text after which the newest listing's title stands, or
//   selettore       the CSS selector of each listing's title; with neither (or one of them
//                   given empty) the listings are found by the shape of the site's pages
//   selettore_link  optional, with selettore: the listing's link within its card
//   pagine          optional: the hosts and path prefixes of the listing pages, between blanks
//   chiuso          optional: the site has closed, and since when
//   selettore_azienda, selettore_luogo, selettore_data
//                   optional, with selettore: the company, the place and the date within a
//                   listing's card
//   chiave          optional, with selettore: what a listing is known by (attr:NAME,
//                   param:NAME, re:REGEX; see ListingKeyProblem)
//   indirizzo_annuncio
//                   optional, with chiave: the job's own address, with {chiave}
//   nota            optional: a short note shown where the site is chosen
//   blocco          optional: "no" lets the site's pages load advertisements and trackers
//
// A section named after a built-in site changes only the keys it gives; marcatore or selettore
// replaces the way the listings are found. A key given empty clears an optional one. Values
// are taken without the blanks around them, as "key = value" is a common way to write them.

inline constexpr char kSitesFileName[] = "siti.ini";

// A section of the sites file that was set aside, and why.
struct RefusedSection {
    QString section;
    QString reason;

    bool operator==(const RefusedSection&) const = default;
};

struct MergedCatalogue {
    Catalogue catalogue;
    QStringList errors;  // one line per refused section: "<file>: [<section>]: <reason>"
    // The same sections, for the window, which names the file once.
    QList<RefusedSection> refused{};
};

// The built-in catalogue with the user's sites over it. A section that cannot make a usable
// rule is refused whole, and a built-in site of the same id stays as it was.
// `suffixes`: the public suffixes a site's "dominio" may not be.
MergedCatalogue MergeCatalogue(const Catalogue& builtIn, const IniDocument& userFile,
                               const QString& fileName, const PublicSuffixes& suffixes = {});

// One new site's section of the sites file: its name, address, domain and the way its
// listings are found, with the keys a new section needs and no others.
QString SectionText(const SiteRule& rule);

// The built-in catalogue with the file at `path` over it, checked against the system's public
// suffixes. A file that is not there adds nothing; one that cannot be read adds nothing
// either, with one line that says why.
MergedCatalogue LoadCatalogue(const QString& path);

// The whole catalogue in the sites file's form, every key of every site written out, to copy
// a section from and edit it. Read back over the built-in catalogue it gives the same one.
QString CatalogueText(const Catalogue& catalogue);

// Adds the section of a new site (SectionText) at the end of the sites file at `path`, made
// with its folder when there is none: the rest of the file, the user's comments with it, stays
// byte for byte, and the whole is written at once under the file's lock. A file that already
// has a section of the rule's id, or that cannot be read as text, is left as it is.
WriteResult AddSiteSection(const QString& path, const SiteRule& rule);

}  // namespace quintavia
