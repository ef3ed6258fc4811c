#include "core/watch/site_texts.h"

namespace quintavia {
namespace {

// "A", "A e B", "A, B e C".
QString Listed(const QStringList& items) {
    if (items.size() <= 1) return items.value(0);
    return items.first(items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" e ") +
           items.last();
}

}  // namespace

QString WindowDescription(const QStringList& siteNames) {
    QStringList names;
    // A site shown in two panes is named once.
    for (const QString& name : siteNames)
        if (!name.isEmpty() && !names.contains(name)) names.append(name);
    if (names.isEmpty()) return QStringLiteral("Sorveglia gli annunci di lavoro per una regione");
    return QStringLiteral("Sorveglia gli annunci di lavoro di %1 per una regione")
        .arg(Listed(names));
}

bool SearchesKeywords(const SiteRule& site) {
    return site.search.contains(QStringLiteral("{parole}")) ||
           site.search.contains(QStringLiteral("{parole_slug}"));
}

QString KeywordPanesNote(const QList<SiteRule>& panes) {
    QStringList searching;
    for (qsizetype i = 0; i < panes.size(); ++i)
        if (SearchesKeywords(panes[i]))
            searching.append(QStringLiteral("%1 (%2)").arg(i + 1).arg(panes[i].name));
    if (searching.isEmpty())
        return QStringLiteral(
            "Nessun riquadro cerca le parole chiave: i siti scelti non le "
            "accettano.");
    if (searching.size() == panes.size())
        return QStringLiteral("Tutti i riquadri cercano le parole chiave.");
    return (searching.size() == 1 ? QStringLiteral("Cerca le parole chiave solo il riquadro %1; "
                                                   "gli altri mostrano la ricerca per regione.")
                                  : QStringLiteral("Cercano le parole chiave solo i riquadri %1; "
                                                   "gli altri mostrano la ricerca per regione."))
        .arg(Listed(searching));
}

}  // namespace quintavia
