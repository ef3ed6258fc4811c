#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "core/sites/public_suffixes.h"

namespace quintavia {

// A job site as data: where its search is, which of its pages are its own, and how the newest
// listings are found in them. The four sites of the grid are rules like any other, so a site
// that moves or changes its layout is a changed rule, not a new program.

// How a site's listings are found in a loaded page.
enum class FindBy {
    Marker,    // the listing probe: the newest listing's title follows a marker in the markup
    Selector,  // a CSS selector for each listing's title element, evaluated in the page
    // Neither: the cards that repeat in the page are found by their shape (StructureScript)
    Structure,
};

// A part of a site that holds its listings: a host (with its subdomains) and, when the rest of
// the host is something else, the path prefix of the listing pages.
struct PageScope {
    QString host;        // lower case, ASCII
    QString pathPrefix;  // empty: every path; otherwise starts with "/"

    bool operator==(const PageScope&) const = default;
};

struct SiteRule {
    QString id;         // lower-case letters, digits and "-": names the site in files
    QString name;       // as the user reads it in notices
    QString paneLabel;  // shown over the pane
    QString logLabel;   // begins each log entry: the design's nine characters, or the name
    QString search;     // the search address, with placeholders (ExpandSearch)
    QString domain;     // the registrable domain of the site's own pages, lower case, ASCII
    FindBy findBy = FindBy::Marker;
    QString marker;          // FindBy::Marker
    QString selector;        // FindBy::Selector: each listing's title element
    QString linkSelector;    // FindBy::Selector, optional: the listing's link inside its card
    QList<PageScope> pages;  // empty: every page of the domain
    QString closedNote;      // set when the site is known to be gone, saying since when
    // FindBy::Selector, optional: what in a listing's card tells the company, the place and
    // when it was published, each read as the text of the first match within the card (a
    // time element's datetime attribute where there is one).
    QString companySelector{};
    QString placeSelector{};
    QString dateSelector{};
    // FindBy::Selector, optional: what a listing is known by (ListingKeyProblem), and the
    // address of the job itself made from it, with {chiave} for the key's value.
    QString key{};
    QString jobAddress{};
    // A short note for the user choosing the site: what to expect of it.
    QString note{};
    bool blocking = true;  // advertisements and trackers are kept off the site's pages
    // The id of the site that took over from this one, for a user whose pane turns blind.
    QString successor{};

    bool operator==(const SiteRule&) const = default;
};

// The log label for a name: the name whole. Only the four sites of the design have labels of
// nine characters of their own; cut to nine, "Lombardia Lavoro" would read as the region.
QString LogLabelFor(const QString& name);

// What a search is made of, as the user gave it.
struct SearchQuery {
    QString regionText;      // the region box's text, as typed or chosen
    qint16 regionIndex = 0;  // the region last chosen from the list
    QString keywords;        // words to search for; empty when none
};

// The placeholders of a search address:
//   {regione}       the region text as it stands: not trimmed, not encoded
//   {regione_n}     the region's number in the list, regionIndex + 1
//   {regione_slug}  the region text as sites write it in paths (RegionSlug)
//   {parole}        the keywords, blanks collapsed, percent-encoded as UTF-8; empty when none
//   {parole_slug}   the keywords as sites write them in paths (RegionSlug); with none, the
//                   path segment that holds it is left out whole
QString ExpandSearch(QStringView search, const SearchQuery& query);

// Lower case ASCII letters and digits, one "-" for each run of anything else, none at either
// end; accents are dropped first. "Valle d'Aosta" is "valle-d-aosta", " Forlì - Cesena " is
// "forli-cesena". Letters with no ASCII form count as separators.
QString RegionSlug(QStringView regionText);

// Why a search address cannot be used for a site on `domain`, or empty when it can. It must
// be http or https on a host within the domain, with no placeholder before its path, and
// every placeholder must be known.
QString SearchProblem(const QString& search, const QString& domain);

// Why a domain cannot name a site's pages, or empty when it can: lower-case ASCII labels of
// letters, digits and "-", at least two of them, and no public suffix of the list (under
// "co.uk" or "github.io" every host is someone else's site). With an empty list the labels
// alone are checked.
QString DomainProblem(const QString& domain, const PublicSuffixes& suffixes = {});

// Why a rule's key cannot be read, or empty when it can. A key is one of
//   attr:NAME   the value of the attribute NAME of the listing's card (or of the first element
//               inside the card that has it)
//   param:NAME  the value of the query parameter NAME of the listing's link
//   re:REGEX    the first group of REGEX matched in the listing's link
// and `attr:` or `param:` may be followed by a blank and `re:REGEX`, taking the group from
// the value read.
QString ListingKeyProblem(const QString& key);

// A rule's key as read: where its value comes from, and the expression that takes its group.
struct KeyRecipe {
    enum Source { None, Attribute, Parameter, Link } source = None;
    QString name;     // the attribute or parameter; for None, what could not be read
    QString pattern;  // empty: the value as it is
};
KeyRecipe ParseKeyRecipe(const QString& key);

// Why a rule cannot be used, or empty when it can. The reasons are in Italian, lower case, to
// follow a file name and a section on standard error or in "Impostazioni", and name each field
// by its key in the sites file, the only place a user writes a rule.
QString RuleProblem(const SiteRule& rule, const PublicSuffixes& suffixes = {});

// Whether a site's listings are read from a page at `url`: http or https, on the rule's domain,
// and within one of its page scopes when it has any. A page elsewhere can carry the same class
// names, and must not be read as the site's listings.
bool IsRulePage(const SiteRule& rule, const QUrl& url);

// A results address pasted by the user, as a search: where the region and the words stand in
// it they become placeholders. `region` and `words` are those the user gave, or empty to look
// for them: a region of the list written as it is in the query ({regione}) or as its slug in
// the path ({regione_slug}); words are the value of a query key that names a search
// ("q", "keywords", ...) and become {parole}.
QString SearchTemplate(const QUrl& address, const QString& region, const QString& words);

// A site made from a results address alone, read by structure: its domain the host's
// registrable domain by `suffixes` ("lavoro.regione.co.uk" is "regione.co.uk"), its last two
// labels with an empty list; its id and name from the host. The address stands as it is.
SiteRule RuleForAddress(const QUrl& address, const PublicSuffixes& suffixes = {});

// Every site the program knows, in order: the four of the grid's default first.
struct Catalogue {
    QList<SiteRule> rules;

    const SiteRule* find(const QString& id) const;
    bool operator==(const Catalogue&) const = default;
};

// The site of `rules`, other than the one of id `exceptId`, that is already named `name`, case
// aside: two sites of one name could not be told apart in the lists, nor in the notices. None
// when the name is free.
const SiteRule* NameTakenBy(const QList<SiteRule>& rules, const QString& name,
                            const QString& exceptId = {});

// The four sites of the grid by default, in pane order: miojob, jobrapido, jobonline, infojobs.
const QList<SiteRule>& DefaultRules();

// The pane whose default site has this id, or -1 for any other site: the four defaults keep
// what the program stores of them, and their sounds, under their pane's number.
int DefaultPane(QStringView id);

// The defaults, then the presets of other boards a user can choose instead.
const Catalogue& BuiltInCatalogue();

}  // namespace quintavia
