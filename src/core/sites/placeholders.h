#pragma once

#include <QString>
#include <QStringView>

namespace quintavia::placeholders {

// The placeholders of a search address (ExpandSearch), shared by the search and its check.
inline const QString kRegion = QStringLiteral("regione");
inline const QString kRegionNumber = QStringLiteral("regione_n");
inline const QString kRegionSlug = QStringLiteral("regione_slug");
inline const QString kKeywords = QStringLiteral("parole");
inline const QString kKeywordsSlug = QStringLiteral("parole_slug");

inline bool IsPlaceholder(QStringView name) {
    return name == kRegion || name == kRegionNumber || name == kRegionSlug || name == kKeywords ||
           name == kKeywordsSlug;
}

}  // namespace quintavia::placeholders
