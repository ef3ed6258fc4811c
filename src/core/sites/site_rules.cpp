#include "core/sites/site_rules.h"

#include "core/sites/sites.h"

namespace quintavia {
QString LogLabelFor(const QString& name) {
    return name.trimmed();
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

const SiteRule* Catalogue::find(const QString& id) const {
    for (const SiteRule& rule : rules)
        if (rule.id == id) return &rule;
    return nullptr;
}

const SiteRule* NameTakenBy(const QList<SiteRule>& rules, const QString& name,
                            const QString& exceptId) {
    for (const SiteRule& rule : rules)
        if (rule.id != exceptId && rule.name.compare(name, Qt::CaseInsensitive) == 0) return &rule;
    return nullptr;
}

}  // namespace quintavia
