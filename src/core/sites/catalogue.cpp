#include "core/sites/site_rules.h"

namespace quintavia {
namespace {

SiteRule MarkerRule(const char* id, const char* name, const char* paneLabel, const char* logLabel,
                    const char* search, const char* domain, const char* marker) {
    SiteRule rule;
    rule.id = QString::fromLatin1(id);
    rule.name = QString::fromUtf8(name);
    rule.paneLabel = QString::fromUtf8(paneLabel);
    rule.logLabel = QString::fromUtf8(logLabel);
    rule.search = QString::fromLatin1(search);
    rule.domain = QString::fromLatin1(domain);
    rule.findBy = FindBy::Marker;
    rule.marker = QString::fromLatin1(marker);
    return rule;
}

SiteRule SelectorRule(const char* id, const char* name, const char* paneLabel, const char* search,
                      const char* domain, const char* selector, const char* linkSelector) {
    SiteRule rule;
    rule.id = QString::fromLatin1(id);
    rule.name = QString::fromUtf8(name);
    rule.paneLabel = QString::fromUtf8(paneLabel);
    rule.logLabel = LogLabelFor(rule.name);
    rule.search = QString::fromLatin1(search);
    rule.domain = QString::fromLatin1(domain);
    rule.findBy = FindBy::Selector;
    rule.selector = QString::fromLatin1(selector);
    rule.linkSelector = QString::fromLatin1(linkSelector);
    return rule;
}

QList<SiteRule> MakeDefaultRules() {
    // The addresses, markers and labels the program has always used: a user who never touches
    // the sites sees the same four searches as before.
    SiteRule miojob = MarkerRule(
        "miojob", "MioJob", "Mio Job", "MioJob   ",
        "http://miojob.repubblica.it/offerte/lavoro/cerca/offer_location_region-{regione}",
        "repubblica.it", "clearfix");
    // The rest of repubblica.it is news, whose pages carry the same generic class.
    miojob.pages = {{QStringLiteral("miojob.repubblica.it"), {}},
                    {QStringLiteral("www.repubblica.it"), QStringLiteral("/economia/miojob/")}};
    SiteRule infojobs = MarkerRule("infojobs", "InfoJobs", "Info Jobs", "Infojobs ",
                                   "http://www.infojobs.it/offerte-lavoro/{regione}", "infojobs.it",
                                   "www.infojobs.it/selezionare");
    infojobs.closedNote = QStringLiteral("InfoJobs Italia ha chiuso il 31 dicembre 2025");
    SiteRule jobrapido = MarkerRule("jobrapido", "Jobrapido", "Job Rapido", "Jobrapido",
                                    "http://it.jobrapido.com/?w={parole}&l={regione}&r=auto",
                                    "jobrapido.com", "span class");
    // The redesigned cards no longer hold the marker; the preset reads them.
    jobrapido.successor = QStringLiteral("jobrapido-2025");
    return {
        miojob,
        jobrapido,
        MarkerRule("jobonline", "Jobonline", "Job on Line", "Jobonline",
                   "http://www.jobonline.it/lavoro/?fld2=0&fld3={regione_n}&fld4=0"
                   "&fld1=ricerca+testuale&search=cerca+lavoro",
                   "jobonline.it", "dettaglioposizione"),
        infojobs,
    };
}

// What a board's card tells besides its title, and what it is known by.
struct Details {
    const char* company = "";
    const char* place = "";
    const char* date = "";
    const char* key = "";
    const char* jobAddress = "";
    const char* note = "";
};

SiteRule WithDetails(SiteRule rule, const Details& details) {
    rule.companySelector = QString::fromLatin1(details.company);
    rule.placeSelector = QString::fromLatin1(details.place);
    rule.dateSelector = QString::fromLatin1(details.date);
    rule.key = QString::fromLatin1(details.key);
    rule.jobAddress = QString::fromLatin1(details.jobAddress);
    rule.note = QString::fromUtf8(details.note);
    return rule;
}

QList<SiteRule> MakePresets() {
    // Each as its board's markup was described in 2025 and 2026; none was tried on the live
    // site. The keys are what stays of a card from one load to the next.
    return {
        // Jobrapido's cards since its redesign; the default keeps the marker it always had.
        // Named apart from the default, which a user choosing between the two must tell.
        WithDetails(SelectorRule("jobrapido-2025", "Jobrapido (nuovo)", "Jobrapido (nuovo)",
                                 "https://it.jobrapido.com/?w={parole}&l={regione}&r=auto"
                                 "&sortby=publish_date",
                                 "jobrapido.com", ".result-item__title", "a.result-item__link"),
                    {.key = "attr:data-advert re:\"advertId\"\\s*:\\s*\"?([^\",}\\s]+)"}),
        // The title's span sits in the card's link, whose tokens expire; sponsored cards link
        // to an address without the job's id, which the card's data-jk still holds.
        WithDetails(SelectorRule("indeed", "Indeed", "Indeed",
                                 "https://it.indeed.com/jobs?q={parole}&l={regione}&sort=date",
                                 "indeed.com", "h2.jobTitle span[title]", ""),
                    {.company = "[data-testid=\"company-name\"]",
                     .place = "[data-testid=\"text-location\"]",
                     .date = "[data-testid=\"myJobsStateDate\"]",
                     .key = "attr:data-jk",
                     .jobAddress = "https://it.indeed.com/viewjob?jk={chiave}",
                     .note = "La verifica anti-bot del sito può respingere il browser di "
                             "Quintavia."}),
        // The guest search: a signed-in user's cards are other markup without these links.
        WithDetails(
            SelectorRule("linkedin", "LinkedIn", "LinkedIn",
                         "https://www.linkedin.com/jobs/search/?keywords={parole}"
                         "&location={regione}&sortBy=DD",
                         "linkedin.com", ".base-search-card__title", "a[href*=\"/jobs/view/\"]"),
            {.company = ".base-search-card__subtitle",
             .place = ".job-search-card__location",
             .date = "time",
             .key = "attr:data-entity-urn re:(\\d+)$",
             .jobAddress = "https://www.linkedin.com/jobs/view/{chiave}",
             .note = "Solo la ricerca senza accesso: chi accede a LinkedIn nel riquadro vede "
                     "un'altra pagina."}),
        // Subito's class names are hashed and change with each build; the structure holds.
        WithDetails(SelectorRule("subito", "Subito", "Subito Lavoro",
                                 "https://www.subito.it/annunci-{regione_slug}/vendita/"
                                 "offerte-lavoro/?q={parole}&order=datedesc",
                                 "subito.it", "article h3", "a[href*=\"/offerte-lavoro/\"]"),
                    {.place = "span[class*=\"location\"]",
                     .key = "re:-(\\d+)\\.htm$",
                     .note = "Il sito vieta nelle sue regole i programmi che lo leggono."}),
        // Each vacancy's address is /offerte-lavoro/<title>_<city>_<id>/; the region and search
        // pages under the same path have no underscore. The words go in a path segment.
        SelectorRule("randstad", "Randstad", "Randstad",
                     "https://www.randstad.it/offerte-lavoro/{regione_slug}/q-{parole_slug}/",
                     "randstad.it", "a[href*=\"/offerte-lavoro/\"][href*=\"_\"]", ""),
        WithDetails(SelectorRule("gigroup", "Gi Group", "Gi Group",
                                 "https://www.gigroup.it/offerte-lavoro/?job={parole}",
                                 "gigroup.it", "article.ggp-job-item h2", "a.ggp-job-title-url"),
                    {.date = ".ggpdayspassed-text",
                     .note = "Il sito rallenta chi lo carica molte volte di seguito."}),
        WithDetails(SelectorRule("adzuna", "Adzuna", "Adzuna",
                                 "https://www.adzuna.it/search?q={parole}&w={regione}"
                                 "&sort_by=date",
                                 "adzuna.it", "article[data-aid] h2", "a[data-js=\"jobLink\"]"),
                    {.company = ".ui-company", .place = ".ui-location", .key = "attr:data-aid"}),
        // The search is by town; the region's name stands in for it.
        WithDetails(
            SelectorRule("manpower", "Manpower", "Manpower",
                         "https://www.manpower.it/it/trova-lavoro/citta/{regione_slug}",
                         "manpower.it", "div.job-position h2", "a[href*=\"/annuncio-lavoro/\"]"),
            {.note = "Non verificato: non è chiaro se le regole del sito permettano di "
                     "leggerlo; la ricerca è per città."}),
    };
}

}  // namespace

const QList<SiteRule>& DefaultRules() {
    static const QList<SiteRule> rules = MakeDefaultRules();
    return rules;
}

int DefaultPane(QStringView id) {
    const QList<SiteRule>& defaults = DefaultRules();
    for (qsizetype i = 0; i < defaults.size(); ++i)
        if (defaults[i].id == id) return static_cast<int>(i);
    return -1;
}

const Catalogue& BuiltInCatalogue() {
    static const Catalogue catalogue{DefaultRules() + MakePresets()};
    return catalogue;
}

}  // namespace quintavia
