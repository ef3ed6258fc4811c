#include "core/sites/site_rules.h"

#include <QRegularExpression>
#include <QUrlQuery>
#include <algorithm>

#include "core/sites/sites.h"
#include "core/text/text_cut.h"

namespace quintavia {
namespace {

constexpr qsizetype kLogLabelUnits = 9;

const QString kRegion = QStringLiteral("regione");
const QString kRegionNumber = QStringLiteral("regione_n");
const QString kRegionSlug = QStringLiteral("regione_slug");
const QString kKeywords = QStringLiteral("parole");
const QString kKeywordsSlug = QStringLiteral("parole_slug");

bool IsPlaceholder(QStringView name) {
    return name == kRegion || name == kRegionNumber || name == kRegionSlug || name == kKeywords ||
           name == kKeywordsSlug;
}

bool IsSiteId(const QString& id) {
    if (id.isEmpty()) return false;
    for (const QChar c : id) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-')) return false;
    }
    return true;
}

bool HasControl(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return true;
    return false;
}

QString Keywords(const QString& keywords) {
    return QString::fromLatin1(QUrl::toPercentEncoding(keywords.simplified()));
}

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
    return {
        miojob,
        MarkerRule("jobrapido", "Jobrapido", "Job Rapido", "Jobrapido",
                   "http://it.jobrapido.com/?w={parole}&l={regione}&r=auto", "jobrapido.com",
                   "span class"),
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
        WithDetails(SelectorRule("jobrapido-2025", "Jobrapido", "Job Rapido",
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

bool IsAttributeName(QStringView name) {
    if (name.isEmpty()) return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
              u == u'-' || u == u'_' || u == u':'))
            return false;
    }
    return true;
}

// A job's own address is made of the key's value alone, on the site's own domain.
QString JobAddressProblem(const SiteRule& rule) {
    if (rule.jobAddress.isEmpty()) return {};
    if (rule.key.isEmpty()) return QStringLiteral("it needs \"chiave\"");
    if (!rule.jobAddress.contains(QStringLiteral("{chiave}")))
        return QStringLiteral("it has no {chiave}");
    QString example = rule.jobAddress;
    example.replace(QStringLiteral("{chiave}"), QStringLiteral("1"));
    if (example.contains(u'{')) return QStringLiteral("its only placeholder is {chiave}");
    const QUrl address(example, QUrl::StrictMode);
    const QString scheme = address.scheme();
    if (!address.isValid() || (scheme != u"http" && scheme != u"https") ||
        address.host().isEmpty() ||
        rule.jobAddress.indexOf(QStringLiteral("{chiave}")) <
            example.indexOf(u'/', scheme.size() + 3))
        return QStringLiteral("not an http or https address with {chiave} after its host");
    if (!IsOnDomain(rule.domain, address))
        return QStringLiteral("its host %1 is not within %2").arg(address.host(), rule.domain);
    return {};
}

}  // namespace

KeyRecipe ParseKeyRecipe(const QString& key) {
    KeyRecipe recipe;
    QString rest = key.trimmed();
    const auto take = [&](QStringView prefix, KeyRecipe::Source source) {
        if (!rest.startsWith(prefix)) return false;
        const qsizetype blank = rest.indexOf(u' ');
        recipe.source = source;
        recipe.name = rest.mid(prefix.size(), blank < 0 ? -1 : blank - prefix.size());
        rest = blank < 0 ? QString() : rest.mid(blank + 1).trimmed();
        return true;
    };
    if (!take(u"attr:", KeyRecipe::Attribute) && !take(u"param:", KeyRecipe::Parameter)) {
        if (rest.isEmpty()) return recipe;
        recipe.source = KeyRecipe::Link;
    }
    if (rest.startsWith(u"re:")) {
        recipe.pattern = rest.mid(3);
    } else if (!rest.isEmpty()) {
        recipe.source = KeyRecipe::None;
        recipe.name = rest;
    }
    return recipe;
}

QString ListingKeyProblem(const QString& key) {
    if (key.trimmed().isEmpty()) return {};
    const KeyRecipe recipe = ParseKeyRecipe(key);
    if (recipe.source == KeyRecipe::None)
        return QStringLiteral("\"chiave\": \"%1\" is not attr:NAME, param:NAME or re:REGEX")
            .arg(recipe.name);
    if (recipe.source == KeyRecipe::Attribute && !IsAttributeName(recipe.name))
        return QStringLiteral("\"chiave\": \"%1\" is not an attribute name").arg(recipe.name);
    if (recipe.source == KeyRecipe::Parameter && recipe.name.isEmpty())
        return QStringLiteral("\"chiave\": param: without a name");
    if (recipe.source == KeyRecipe::Link || !recipe.pattern.isEmpty()) {
        const QRegularExpression re(recipe.pattern);
        if (!re.isValid())
            return QStringLiteral("\"chiave\": the expression is not valid: %1")
                .arg(re.errorString());
        if (re.captureCount() < 1)
            return QStringLiteral("\"chiave\": the expression has no group to take");
    }
    return {};
}

QString LogLabelFor(const QString& name) {
    // Half a character would show as a replacement: pad rather than split a pair.
    return CutUnits(name, kLogLabelUnits).leftJustified(kLogLabelUnits, u' ');
}

QString ExpandSearch(QStringView recipe, const SearchQuery& query) {
    // With no words, the path segment that would carry them goes: "q-/" is no search.
    QString trimmed = recipe.toString();
    if (RegionSlug(query.keywords).isEmpty()) {
        const qsizetype at = trimmed.indexOf(u'{' + kKeywordsSlug + u'}');
        const qsizetype hostStart = trimmed.indexOf(QStringLiteral("://"));
        const qsizetype start = at < 0 ? -1 : trimmed.lastIndexOf(u'/', at);
        const qsizetype end = at < 0 ? -1 : trimmed.indexOf(u'/', at);
        if (hostStart >= 0 && start > hostStart + 2 && end > at) trimmed.remove(start, end - start);
    }
    const QStringView search = trimmed;
    QString address;
    address.reserve(search.size() + query.regionText.size() * 2);
    qsizetype at = 0;
    while (at < search.size()) {
        const qsizetype open = search.indexOf(u'{', at);
        const qsizetype close = open < 0 ? -1 : search.indexOf(u'}', open);
        if (close < 0) break;
        address += search.sliced(at, open - at);
        const QStringView name = search.sliced(open + 1, close - open - 1);
        if (name == kRegion)
            address += query.regionText;
        else if (name == kRegionNumber)
            address += QString::number(int{query.regionIndex} + 1);
        else if (name == kRegionSlug)
            address += RegionSlug(query.regionText);
        else if (name == kKeywords)
            address += Keywords(query.keywords);
        else if (name == kKeywordsSlug)
            address += RegionSlug(query.keywords);
        else
            address += search.sliced(open, close - open + 1);
        at = close + 1;
    }
    address += search.sliced(at);
    return address;
}

QString RegionSlug(QStringView regionText) {
    // Compatibility decomposition also turns ligatures and full-width letters into ASCII.
    const QString decomposed = regionText.toString().normalized(QString::NormalizationForm_KD);
    QString slug;
    slug.reserve(decomposed.size());
    bool gap = false;
    for (const QChar c : decomposed) {
        if (c.isMark()) continue;  // the accent of a decomposed letter
        char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u - u'A' + u'a');
        if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9')) {
            if (gap && !slug.isEmpty()) slug += u'-';
            gap = false;
            slug += QChar(u);
        } else {
            gap = true;
        }
    }
    return slug;
}

QString SearchProblem(const QString& search, const QString& domain) {
    for (qsizetype at = search.indexOf(u'{'); at >= 0; at = search.indexOf(u'{', at + 1)) {
        const qsizetype close = search.indexOf(u'}', at);
        if (close < 0) return QStringLiteral("a \"{\" without its \"}\"");
        const QStringView name = QStringView(search).sliced(at + 1, close - at - 1);
        if (!IsPlaceholder(name))
            return QStringLiteral("the unknown placeholder {%1}").arg(name.toString());
    }
    const qsizetype schemeEnd = search.indexOf(QStringLiteral("://"));
    const QString scheme = search.left(std::max<qsizetype>(schemeEnd, 0)).toLower();
    if (scheme != u"http" && scheme != u"https")
        return QStringLiteral("not an http or https address");
    const qsizetype hostStart = schemeEnd + 3;
    qsizetype hostEnd = hostStart;
    while (hostEnd < search.size() && search[hostEnd] != u'/' && search[hostEnd] != u'?' &&
           search[hostEnd] != u'#')
        ++hostEnd;
    const QString authority = search.sliced(hostStart, hostEnd - hostStart);
    // A placeholder could make the host anything; a backslash ends the host for the browser
    // but not for QUrl, so the two would read different hosts.
    if (authority.contains(u'{')) return QStringLiteral("a placeholder in the host");
    if (authority.contains(u'\\')) return QStringLiteral("a backslash in the host");
    const QUrl base(scheme + QStringLiteral("://") + authority + u'/', QUrl::StrictMode);
    const QString host = base.host(QUrl::FullyEncoded);
    if (!base.isValid() || host.isEmpty()) return QStringLiteral("not an http or https address");
    if (!IsHostWithin(host, domain))
        return QStringLiteral("its host %1 is not within %2").arg(host, domain);
    return {};
}

QString DomainProblem(const QString& domain, const PublicSuffixes& suffixes) {
    const QStringList labels = domain.split(u'.');
    bool fits = true;
    for (const QString& label : labels) {
        fits = fits && !label.isEmpty() && label.front() != u'-' && label.back() != u'-';
        for (const QChar c : label) {
            const char16_t u = c.unicode();
            fits = fits && ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-');
        }
    }
    if (fits && !suffixes.isEmpty() && suffixes.registrableDomain(domain).isEmpty())
        return QStringLiteral(
                   "%1 is a public suffix, under which unrelated sites have their own domains: "
                   "give the site's own, such as example.%1")
            .arg(domain);
    if (fits && labels.size() >= 2) return {};
    return QStringLiteral(
               "%1 is not a domain such as example.it (lower-case ASCII, with its "
               "dots)")
        .arg(domain.isEmpty() ? QStringLiteral("an empty name") : domain);
}

QString RuleProblem(const SiteRule& rule, const PublicSuffixes& suffixes) {
    if (!IsSiteId(rule.id))
        return QStringLiteral("\"%1\" is not a site id: lower-case letters, digits and \"-\"")
            .arg(rule.id);
    if (rule.name.isEmpty()) return QStringLiteral("no \"nome\"");
    if (HasControl(rule.name)) return QStringLiteral("\"nome\" holds a control character");
    if (rule.paneLabel.isEmpty()) return QStringLiteral("no \"etichetta\"");
    if (HasControl(rule.paneLabel))
        return QStringLiteral("\"etichetta\" holds a control character");
    if (const QString problem = DomainProblem(rule.domain, suffixes); !problem.isEmpty())
        return QStringLiteral("\"dominio\": ") + problem;
    if (rule.search.isEmpty()) return QStringLiteral("no \"indirizzo\"");
    if (const QString problem = SearchProblem(rule.search, rule.domain); !problem.isEmpty())
        return QStringLiteral("\"indirizzo\": ") + problem;
    const bool byMarker = rule.findBy == FindBy::Marker;
    const bool bySelector = rule.findBy == FindBy::Selector;
    if ((byMarker && rule.marker.isEmpty()) || (bySelector && rule.selector.isEmpty()))
        return QStringLiteral("no way to find the listings: give \"marcatore\" or \"selettore\"");
    if (byMarker && !rule.linkSelector.isEmpty())
        return QStringLiteral("\"selettore_link\" goes with \"selettore\", not \"marcatore\"");
    const std::pair<const QString*, const char*> selectorOnly[] = {
        {&rule.companySelector, "selettore_azienda"}, {&rule.placeSelector, "selettore_luogo"},
        {&rule.dateSelector, "selettore_data"},       {&rule.key, "chiave"},
        {&rule.jobAddress, "indirizzo_annuncio"},
    };
    for (const auto& [value, key] : selectorOnly) {
        if (bySelector || value->isEmpty()) continue;
        return (byMarker ? QStringLiteral("\"%1\" goes with \"selettore\", not \"marcatore\"")
                         : QStringLiteral("\"%1\" goes with \"selettore\""))
            .arg(QLatin1StringView(key));
    }
    if (HasControl(rule.note)) return QStringLiteral("\"nota\" holds a control character");
    if (const QString problem = ListingKeyProblem(rule.key); !problem.isEmpty()) return problem;
    if (const QString problem = JobAddressProblem(rule); !problem.isEmpty())
        return QStringLiteral("\"indirizzo_annuncio\": ") + problem;
    if (!bySelector && !rule.linkSelector.isEmpty())
        return QStringLiteral("\"selettore_link\" goes with \"selettore\"");
    for (const PageScope& scope : rule.pages) {
        if (!IsHostWithin(scope.host, rule.domain))
            return QStringLiteral("\"pagine\": %1 is not within %2").arg(scope.host, rule.domain);
        if (!scope.pathPrefix.isEmpty() && !scope.pathPrefix.startsWith(u'/'))
            return QStringLiteral("\"pagine\": the path %1 does not start with \"/\"")
                .arg(scope.pathPrefix);
    }
    // Otherwise every search would be read as a page elsewhere, and the site never watched.
    const QUrl example(ExpandSearch(rule.search, {QStringLiteral("Lazio"), 6, {}}));
    if (!IsRulePage(rule, example))
        return QStringLiteral("\"pagine\": the search address is not among them");
    return {};
}

bool IsRulePage(const SiteRule& rule, const QUrl& url) {
    if (!IsOnDomain(rule.domain, url)) return false;
    if (rule.pages.isEmpty()) return true;
    const QString host = url.host(QUrl::FullyEncoded);
    // "/economia/miojob/../../politica" is not under "/economia/miojob/".
    const QString path = url.adjusted(QUrl::NormalizePathSegments).path(QUrl::FullyEncoded);
    for (const PageScope& scope : rule.pages) {
        if (!IsHostWithin(host, scope.host)) continue;
        const QString& prefix = scope.pathPrefix;
        if (path.startsWith(prefix)) return true;
        // The folder's own page, written without its closing slash.
        if (prefix.endsWith(u'/') && path == QStringView(prefix).chopped(1)) return true;
    }
    return false;
}

namespace {

bool SearchKey(QStringView key) {
    static const QStringList keys{
        QStringLiteral("q"),     QStringLiteral("w"),        QStringLiteral("k"),
        QStringLiteral("kw"),    QStringLiteral("keywords"), QStringLiteral("keyword"),
        QStringLiteral("query"), QStringLiteral("parole"),   QStringLiteral("cosa"),
        QStringLiteral("what"),  QStringLiteral("search"),   QStringLiteral("ukw"),
        QStringLiteral("job"),   QStringLiteral("s"),        QStringLiteral("testo")};
    return keys.contains(key.toString().toLower());
}

// The region of the list the address names, in its query or as a slug in its path.
QString RegionIn(const QUrl& address) {
    const QList<std::pair<QString, QString>> items =
        QUrlQuery(address).queryItems(QUrl::FullyDecoded);
    for (const QString& region : RegionList()) {
        for (const auto& [key, value] : items)
            if (value.trimmed().compare(region, Qt::CaseInsensitive) == 0) return region;
        const QString slug = RegionSlug(region);
        for (const QString& segment : address.path().split(u'/', Qt::SkipEmptyParts))
            if (segment == slug || segment.endsWith(u'-' + slug) || segment.startsWith(slug + u'-'))
                return region;
    }
    return {};
}

}  // namespace

QString SearchTemplate(const QUrl& address, const QString& region, const QString& words) {
    const QString inRegion = region.trimmed().isEmpty() ? RegionIn(address) : region.trimmed();
    QString inWords = words.simplified();
    QUrlQuery query(address);
    QList<std::pair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    if (inWords.isEmpty())
        for (const auto& [key, value] : items)
            if (SearchKey(key) && !value.trimmed().isEmpty()) inWords = value.simplified();
    bool changed = false;
    for (auto& [key, value] : items) {
        const QString plain = value.simplified();
        if (!inRegion.isEmpty() && plain.compare(inRegion, Qt::CaseInsensitive) == 0) {
            value = QStringLiteral("{regione}");
            changed = true;
        } else if (!inWords.isEmpty() && plain.compare(inWords, Qt::CaseInsensitive) == 0) {
            value = QStringLiteral("{parole}");
            changed = true;
        }
    }
    QString path = address.path(QUrl::FullyEncoded);
    if (!inRegion.isEmpty()) {
        const QString slug = RegionSlug(inRegion);
        QStringList segments = path.split(u'/');
        for (QString& segment : segments) {
            if (segment == slug)
                segment = QStringLiteral("{regione_slug}");
            else if (segment.endsWith(u'-' + slug))
                segment = segment.chopped(slug.size()) + QStringLiteral("{regione_slug}");
            else if (segment.startsWith(slug + u'-'))
                segment = QStringLiteral("{regione_slug}") + segment.sliced(slug.size());
        }
        path = segments.join(u'/');
    }
    QString text =
        address.scheme() + QStringLiteral("://") + address.authority(QUrl::FullyEncoded) + path;
    if (address.hasQuery()) {
        if (!changed) {
            text += u'?' + address.query(QUrl::FullyEncoded);
        } else {
            QStringList pairs;
            for (const auto& [key, value] : items) {
                const bool placeholder = value.startsWith(u'{') && value.endsWith(u'}');
                pairs.append(
                    QString::fromLatin1(QUrl::toPercentEncoding(key)) + u'=' +
                    (placeholder ? value : QString::fromLatin1(QUrl::toPercentEncoding(value))));
            }
            text += u'?' + pairs.join(u'&');
        }
    }
    return text;
}

SiteRule RuleForAddress(const QUrl& address) {
    SiteRule rule;
    const QString host = address.host(QUrl::FullyEncoded).toLower();
    QStringList labels = host.split(u'.', Qt::SkipEmptyParts);
    rule.domain = labels.size() <= 2 ? host : labels.sliced(labels.size() - 2).join(u'.');
    // The name: the host's first label that says something, "www" and a country aside.
    while (labels.size() > 2 && (labels.front() == u"www" || labels.front().size() <= 2))
        labels.removeFirst();
    const QString word = labels.isEmpty() ? host : labels.front();
    QString id;
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-') id += c;
    }
    rule.id = id.isEmpty() ? QStringLiteral("sito") : id;
    rule.name = rule.id.left(1).toUpper() + rule.id.mid(1);
    rule.paneLabel = rule.name;
    rule.logLabel = LogLabelFor(rule.name);
    rule.search = QString::fromLatin1(address.toEncoded());
    rule.findBy = FindBy::Structure;
    return rule;
}

const SiteRule* Catalogue::find(const QString& id) const {
    for (const SiteRule& rule : rules)
        if (rule.id == id) return &rule;
    return nullptr;
}

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
