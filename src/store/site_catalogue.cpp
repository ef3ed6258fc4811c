#include "store/site_catalogue.h"

#include <QFileInfo>
#include <QHash>
#include <QStringTokenizer>

#include "store/ini_file.h"
#include "store/io/atomic_file.h"
#include "store/io/file_lock.h"
#include "store/io/private_folder.h"
#include "store/public_suffix_file.h"

namespace quintavia {
namespace {

const QString kName = QStringLiteral("nome");
const QString kPaneLabel = QStringLiteral("etichetta");
const QString kSearch = QStringLiteral("indirizzo");
const QString kDomain = QStringLiteral("dominio");
const QString kMarker = QStringLiteral("marcatore");
const QString kSelector = QStringLiteral("selettore");
const QString kLinkSelector = QStringLiteral("selettore_link");
const QString kPages = QStringLiteral("pagine");
const QString kClosed = QStringLiteral("chiuso");
const QString kCompanySelector = QStringLiteral("selettore_azienda");
const QString kPlaceSelector = QStringLiteral("selettore_luogo");
const QString kDateSelector = QStringLiteral("selettore_data");
const QString kKey = QStringLiteral("chiave");
const QString kJobAddress = QStringLiteral("indirizzo_annuncio");
const QString kNote = QStringLiteral("nota");
const QString kBlocking = QStringLiteral("blocco");
const QString kYes = QStringLiteral("sì");
const QString kNo = QStringLiteral("no");

// The keys that go with a selector, in the order they are written.
struct SelectorKey {
    const QString* key;
    QString SiteRule::*field;
};
const SelectorKey kSelectorKeys[] = {
    {&kLinkSelector, &SiteRule::linkSelector},
    {&kCompanySelector, &SiteRule::companySelector},
    {&kPlaceSelector, &SiteRule::placeSelector},
    {&kDateSelector, &SiteRule::dateSelector},
    {&kKey, &SiteRule::key},
    {&kJobAddress, &SiteRule::jobAddress},
};

const QStringList& Keys() {
    static const QStringList keys{kName,   kPaneLabel,       kSearch,        kDomain,
                                  kMarker, kSelector,        kLinkSelector,  kPages,
                                  kClosed, kCompanySelector, kPlaceSelector, kDateSelector,
                                  kKey,    kJobAddress,      kNote,          kBlocking};
    return keys;
}

QList<PageScope> ParsePages(const QString& text) {
    QList<PageScope> pages;
    const QString words = text.simplified();
    for (const QStringView word : QStringTokenizer(words, u' ', Qt::SkipEmptyParts)) {
        const qsizetype slash = word.indexOf(u'/');
        pages.append({word.left(slash < 0 ? word.size() : slash).toString().toLower(),
                      slash < 0 ? QString() : word.sliced(slash).toString()});
    }
    return pages;
}

QString PagesText(const QList<PageScope>& pages) {
    QStringList words;
    for (const PageScope& scope : pages) words.append(scope.host + scope.pathPrefix);
    return words.join(u' ');
}

// Sets the keys a section gives over `rule`; the reason when the section cannot be taken.
QString Apply(const IniDocument& file, const QString& section, const PublicSuffixes& suffixes,
              SiteRule* rule) {
    const QStringList keys = file.keys(section);
    for (const QString& key : keys)
        if (!Keys().contains(key)) return QStringLiteral("chiave sconosciuta \"%1\"").arg(key);
    if (keys.contains(kMarker) && keys.contains(kSelector))
        return QStringLiteral("sia \"marcatore\" sia \"selettore\": indicane uno");

    const auto given = [&](const QString& key) -> std::optional<QString> {
        const std::optional<QString> value = file.value(section, key);
        if (!value) return std::nullopt;
        return value->trimmed();
    };
    if (const auto name = given(kName); name && *name != rule->name) {
        rule->name = *name;
        rule->logLabel = LogLabelFor(*name);
    }
    if (const auto label = given(kPaneLabel)) rule->paneLabel = *label;
    if (const auto search = given(kSearch)) rule->search = *search;
    if (const auto domain = given(kDomain)) rule->domain = domain->toLower();
    // Another way to find the listings leaves nothing of how the last one read their cards.
    const auto clearSelectorKeys = [&] {
        for (const SelectorKey& key : kSelectorKeys) (rule->*key.field).clear();
    };
    // A section that gives neither is read by the shape of its pages, and one given empty
    // turns a site to that reading.
    if (!keys.contains(kMarker) && !keys.contains(kSelector) && rule->marker.isEmpty() &&
        rule->selector.isEmpty())
        rule->findBy = FindBy::Structure;
    if (const auto marker = given(kMarker); marker && marker->isEmpty()) {
        rule->findBy = FindBy::Structure;
        rule->marker.clear();
    } else if (marker) {
        rule->findBy = FindBy::Marker;
        rule->marker = *marker;
        rule->selector.clear();
        clearSelectorKeys();
    }
    if (const auto selector = given(kSelector); selector && selector->isEmpty()) {
        rule->findBy = FindBy::Structure;
        rule->selector.clear();
        rule->marker.clear();
        clearSelectorKeys();
    } else if (selector) {
        rule->findBy = FindBy::Selector;
        rule->selector = *selector;
        rule->marker.clear();
        clearSelectorKeys();
    }
    for (const SelectorKey& key : kSelectorKeys)
        if (const auto value = given(*key.key)) rule->*key.field = *value;
    if (const auto note = given(kNote)) rule->note = *note;
    if (const auto pages = given(kPages)) rule->pages = ParsePages(*pages);
    if (const auto closed = given(kClosed)) rule->closedNote = *closed;
    if (const auto blocking = given(kBlocking)) {
        const QString word = blocking->toLower();
        if (word == kNo)
            rule->blocking = false;
        else if (word == kYes || word == u"si" || word.isEmpty())
            rule->blocking = true;
        else
            return QStringLiteral("\"blocco\" è \"sì\" o \"no\", non \"%1\"").arg(*blocking);
    }
    if (rule->paneLabel.isEmpty()) rule->paneLabel = rule->name;
    return RuleProblem(*rule, suffixes);
}

}  // namespace

MergedCatalogue MergeCatalogue(const Catalogue& builtIn, const IniDocument& userFile,
                               const QString& fileName, const PublicSuffixes& suffixes) {
    MergedCatalogue merged{builtIn, {}};
    QList<SiteRule>& rules = merged.catalogue.rules;
    // A file names each section once, so only the built-in sites can be met again.
    QHash<QString, qsizetype> builtInAt;
    for (qsizetype i = 0; i < rules.size(); ++i) builtInAt.insert(rules[i].id, i);
    for (const QString& section : userFile.sections()) {
        const qsizetype at = builtInAt.value(section, -1);
        SiteRule rule = at >= 0 ? rules[at] : SiteRule{};
        rule.id = section;
        QString problem = Apply(userFile, section, suffixes, &rule);
        if (const SiteRule* other = NameTakenBy(rules, rule.name, rule.id);
            problem.isEmpty() && other)
            problem = QStringLiteral("il nome \"%1\" è già del sito %2: scegline un altro")
                          .arg(rule.name, other->id);
        if (!problem.isEmpty()) {
            merged.errors.append(QStringLiteral("%1: [%2]: %3").arg(fileName, section, problem));
            merged.refused.append({section, problem});
            continue;
        }
        if (at >= 0)
            rules[at] = rule;
        else
            rules.append(rule);
    }
    return merged;
}

QString CatalogueText(const Catalogue& catalogue) {
    IniDocument file;
    for (const SiteRule& rule : catalogue.rules) {
        file.setValue(rule.id, kName, rule.name);
        file.setValue(rule.id, kPaneLabel, rule.paneLabel);
        file.setValue(rule.id, kSearch, rule.search);
        file.setValue(rule.id, kDomain, rule.domain);
        if (rule.findBy == FindBy::Marker) {
            file.setValue(rule.id, kMarker, rule.marker);
        } else if (rule.findBy == FindBy::Structure) {
            // Empty: read by the shape of the site's pages.
            file.setValue(rule.id, kSelector, QString());
        } else {
            file.setValue(rule.id, kSelector, rule.selector);
            for (const SelectorKey& key : kSelectorKeys)
                file.setValue(rule.id, *key.key, rule.*key.field);
        }
        // Written even when empty: over a built-in site, an absent key would keep its value.
        file.setValue(rule.id, kPages, PagesText(rule.pages));
        file.setValue(rule.id, kClosed, rule.closedNote);
        file.setValue(rule.id, kNote, rule.note);
        file.setValue(rule.id, kBlocking, rule.blocking ? kYes : kNo);
    }
    return QStringLiteral(
               "; I siti che Quintavia conosce. Per cambiarne uno, copia la sua sezione in %1 e\n"
               "; cambia le chiavi che vuoi; una sezione con un nome nuovo aggiunge un sito.\n"
               "; In indirizzo: {regione} {regione_n} {regione_slug} {parole} {parole_slug};\n"
               "; in indirizzo_annuncio: {chiave}.\n\n")
               .arg(QLatin1StringView(kSitesFileName)) +
           QString::fromUtf8(file.toUtf8());
}

QString SectionText(const SiteRule& rule) {
    IniDocument file;
    file.setValue(rule.id, kName, rule.name);
    file.setValue(rule.id, kSearch, rule.search);
    file.setValue(rule.id, kDomain, rule.domain);
    if (rule.findBy == FindBy::Marker) file.setValue(rule.id, kMarker, rule.marker);
    if (rule.findBy == FindBy::Selector) {
        file.setValue(rule.id, kSelector, rule.selector);
        if (!rule.linkSelector.isEmpty()) file.setValue(rule.id, kLinkSelector, rule.linkSelector);
    }
    return QString::fromUtf8(file.toUtf8());
}

MergedCatalogue LoadCatalogue(const QString& path) {
    // A sites file of a few hundred sites is a few tens of KiB.
    constexpr qint64 kMaxSitesFileBytes = 1024 * 1024;
    const QString notice = TakePublicSuffixNotice();
    MergedCatalogue merged{BuiltInCatalogue(), {}};
    if (!path.isEmpty()) {
        // The user's own file, which a dotfile manager may keep as a link.
        const FileRead read = ReadIniFile(path, kMaxSitesFileBytes, Links::FollowedToOwnFile);
        if (read.kind == FileRead::Text)
            merged = MergeCatalogue(BuiltInCatalogue(), read.doc, path, SystemPublicSuffixes());
        else if (read.kind != FileRead::Absent)
            merged.errors.append(QStringLiteral("%1: non letto (%2); si usano i siti di Quintavia")
                                     .arg(path, read.reason));
    }
    if (!notice.isEmpty()) merged.errors.prepend(notice);
    return merged;
}

WriteResult AddSiteSection(const QString& path, const SiteRule& rule) {
    constexpr qint64 kMaxSitesFileBytes = 1024 * 1024;
    WriteResult result;
    const auto fail = [&](const QString& reason) { return result.fail(path, reason); };
    // A link a dotfile manager keeps is written through, at the file it leads to.
    const QFileInfo link(path);
    const QString target = link.isSymLink() ? link.canonicalFilePath() : path;
    if (target.isEmpty()) return fail(QStringLiteral("è un collegamento che non porta a nulla"));
    const QString folder = QFileInfo(target).absolutePath();
    if (const QString why = MakePrivateFolder(folder); !why.isEmpty())
        return fail(QStringLiteral("impossibile creare la cartella %1: %2").arg(folder, why));
    FileLock lock(FileLock::Beside(target));
    if (const QString why = lock.take(std::chrono::seconds(5)); !why.isEmpty()) return fail(why);
    const FileBytes read = ReadFileBytes(target, kMaxSitesFileBytes);
    QByteArray bytes;
    if (read.kind == FileRead::Text) {
        const std::optional<IniDocument> doc = IniDocument::parse(read.bytes);
        if (!doc) return fail(QStringLiteral("non è un file di testo"));
        if (doc->sections().contains(rule.id))
            return fail(QStringLiteral("ha già una sezione [%1]").arg(rule.id));
        bytes = read.bytes;
    } else if (read.kind != FileRead::Absent) {
        return fail(read.reason);
    }
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes += '\n';
    if (!bytes.isEmpty()) bytes += '\n';
    bytes += SectionText(rule).toUtf8();
    if (bytes.size() > kMaxSitesFileBytes)
        return fail(QStringLiteral("supererebbe %1 byte").arg(kMaxSitesFileBytes));
    if (const QString why = ReplaceFile(target, bytes); !why.isEmpty()) return fail(why);
    return result;
}

}  // namespace quintavia
