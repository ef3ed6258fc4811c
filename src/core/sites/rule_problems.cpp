#include <QRegularExpression>
#include <algorithm>

#include "core/sites/placeholders.h"
#include "core/sites/site_rules.h"
#include "core/sites/sites.h"

using namespace quintavia::placeholders;

namespace quintavia {
namespace {

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
    if (rule.key.isEmpty()) return QStringLiteral("vuole anche \"chiave\"");
    if (!rule.jobAddress.contains(QStringLiteral("{chiave}")))
        return QStringLiteral("manca {chiave}");
    QString example = rule.jobAddress;
    example.replace(QStringLiteral("{chiave}"), QStringLiteral("1"));
    if (example.contains(u'{')) return QStringLiteral("l'unico segnaposto ammesso è {chiave}");
    const QUrl address(example, QUrl::StrictMode);
    if (!IsWebAddress(address) || rule.jobAddress.indexOf(QStringLiteral("{chiave}")) <
                                      example.indexOf(u'/', address.scheme().size() + 3))
        return QStringLiteral("non è un indirizzo http o https con {chiave} dopo il nome del sito");
    if (!IsOnDomain(rule.domain, address))
        return QStringLiteral("il suo host %1 non è sotto %2").arg(address.host(), rule.domain);
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
        return QStringLiteral("\"chiave\": \"%1\" non è attr:NOME, param:NOME o re:ESPRESSIONE")
            .arg(recipe.name);
    if (recipe.source == KeyRecipe::Attribute && !IsAttributeName(recipe.name))
        return QStringLiteral("\"chiave\": \"%1\" non è il nome di un attributo").arg(recipe.name);
    if (recipe.source == KeyRecipe::Parameter && recipe.name.isEmpty())
        return QStringLiteral("\"chiave\": param: senza un nome");
    if (recipe.source == KeyRecipe::Link || !recipe.pattern.isEmpty()) {
        const QRegularExpression re(recipe.pattern);
        // Where it breaks, not why: the expression engine says why in English alone.
        if (!re.isValid()) {
            const qsizetype at = re.patternErrorOffset();
            return at > 0 ? QStringLiteral("\"chiave\": l'espressione non è valida dopo \"%1\"")
                                .arg(recipe.pattern.left(at))
                          : QStringLiteral("\"chiave\": l'espressione non è valida dall'inizio");
        }
        if (re.captureCount() < 1)
            return QStringLiteral("\"chiave\": l'espressione non ha un gruppo da prendere");
    }
    return {};
}

QString SearchProblem(const QString& search, const QString& domain) {
    for (qsizetype at = search.indexOf(u'{'); at >= 0; at = search.indexOf(u'{', at + 1)) {
        const qsizetype close = search.indexOf(u'}', at);
        if (close < 0) return QStringLiteral("una \"{\" senza la sua \"}\"");
        const QStringView name = QStringView(search).sliced(at + 1, close - at - 1);
        if (!IsPlaceholder(name))
            return QStringLiteral("il segnaposto sconosciuto {%1}").arg(name.toString());
    }
    const qsizetype schemeEnd = search.indexOf(QStringLiteral("://"));
    const QString scheme = search.left(std::max<qsizetype>(schemeEnd, 0)).toLower();
    if (scheme != u"http" && scheme != u"https")
        return QStringLiteral("non è un indirizzo http o https");
    const qsizetype hostStart = schemeEnd + 3;
    qsizetype hostEnd = hostStart;
    while (hostEnd < search.size() && search[hostEnd] != u'/' && search[hostEnd] != u'?' &&
           search[hostEnd] != u'#')
        ++hostEnd;
    const QString authority = search.sliced(hostStart, hostEnd - hostStart);
    // A placeholder could make the host anything; a backslash ends the host for the browser
    // but not for QUrl, so the two would read different hosts.
    if (authority.contains(u'{')) return QStringLiteral("un segnaposto nel nome del sito");
    if (authority.contains(u'\\')) return QStringLiteral("una barra rovesciata nel nome del sito");
    const QUrl base(scheme + QStringLiteral("://") + authority + u'/', QUrl::StrictMode);
    const QString host = base.host(QUrl::FullyEncoded);
    if (!base.isValid() || host.isEmpty()) return QStringLiteral("non è un indirizzo http o https");
    if (!IsHostWithin(host, domain))
        return QStringLiteral("il suo host %1 non è sotto %2").arg(host, domain);
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
                   "%1 è un suffisso pubblico, sotto cui siti diversi hanno ciascuno il proprio "
                   "dominio: indica quello del sito, come esempio.%1")
            .arg(domain);
    if (fits && labels.size() >= 2) return {};
    return QStringLiteral(
               "%1 non è un dominio come esempio.it (lettere minuscole senza accenti, cifre e "
               "\"-\", con i suoi punti)")
        .arg(domain.isEmpty() ? QStringLiteral("un nome vuoto") : domain);
}

QString RuleProblem(const SiteRule& rule, const PublicSuffixes& suffixes) {
    if (!IsSiteId(rule.id))
        return QStringLiteral("\"%1\" non è un id di sito: lettere minuscole, cifre e \"-\"")
            .arg(rule.id);
    if (rule.name.isEmpty()) return QStringLiteral("manca \"nome\"");
    if (HasControl(rule.name)) return QStringLiteral("\"nome\" contiene un carattere di controllo");
    if (rule.paneLabel.isEmpty()) return QStringLiteral("manca \"etichetta\"");
    if (HasControl(rule.paneLabel))
        return QStringLiteral("\"etichetta\" contiene un carattere di controllo");
    if (const QString problem = DomainProblem(rule.domain, suffixes); !problem.isEmpty())
        return QStringLiteral("\"dominio\": ") + problem;
    if (rule.search.isEmpty()) return QStringLiteral("manca \"indirizzo\"");
    if (const QString problem = SearchProblem(rule.search, rule.domain); !problem.isEmpty())
        return QStringLiteral("\"indirizzo\": ") + problem;
    const bool byMarker = rule.findBy == FindBy::Marker;
    const bool bySelector = rule.findBy == FindBy::Selector;
    if ((byMarker && rule.marker.isEmpty()) || (bySelector && rule.selector.isEmpty()))
        return QStringLiteral(
            "nessun modo di trovare gli annunci: indica \"marcatore\" o \"selettore\"");
    if (byMarker && !rule.linkSelector.isEmpty())
        return QStringLiteral("\"selettore_link\" va con \"selettore\", non con \"marcatore\"");
    const std::pair<const QString*, const char*> selectorOnly[] = {
        {&rule.companySelector, "selettore_azienda"}, {&rule.placeSelector, "selettore_luogo"},
        {&rule.dateSelector, "selettore_data"},       {&rule.key, "chiave"},
        {&rule.jobAddress, "indirizzo_annuncio"},
    };
    for (const auto& [value, key] : selectorOnly) {
        if (bySelector || value->isEmpty()) continue;
        return (byMarker ? QStringLiteral("\"%1\" va con \"selettore\", non con \"marcatore\"")
                         : QStringLiteral("\"%1\" va con \"selettore\""))
            .arg(QLatin1StringView(key));
    }
    if (HasControl(rule.note)) return QStringLiteral("\"nota\" contiene un carattere di controllo");
    if (const QString problem = ListingKeyProblem(rule.key); !problem.isEmpty()) return problem;
    if (const QString problem = JobAddressProblem(rule); !problem.isEmpty())
        return QStringLiteral("\"indirizzo_annuncio\": ") + problem;
    if (!bySelector && !rule.linkSelector.isEmpty())
        return QStringLiteral("\"selettore_link\" va con \"selettore\"");
    for (const PageScope& scope : rule.pages) {
        if (!IsHostWithin(scope.host, rule.domain))
            return QStringLiteral("\"pagine\": %1 non è sotto %2").arg(scope.host, rule.domain);
        if (!scope.pathPrefix.isEmpty() && !scope.pathPrefix.startsWith(u'/'))
            return QStringLiteral("\"pagine\": il percorso %1 non comincia con \"/\"")
                .arg(scope.pathPrefix);
    }
    // Otherwise every search would be read as a page elsewhere, and the site never watched.
    const QUrl example(ExpandSearch(rule.search, {QStringLiteral("Lazio"), 6, {}}));
    if (!IsRulePage(rule, example))
        return QStringLiteral("\"pagine\": l'indirizzo di ricerca non è tra esse");
    return {};
}

}  // namespace quintavia
