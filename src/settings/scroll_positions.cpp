#include "settings/scroll_positions.h"

#include <QLocale>
#include <cmath>

#include "settings/settings_keys.h"

namespace quintavia {

std::optional<QString> ScrollOffsetToText(std::optional<double> offset) {
    if (!offset || !std::isfinite(*offset)) return std::nullopt;
    const double value = *offset == 0 ? 0.0 : *offset;  // never "-0"
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

void SaveScrollPositions(SettingsStore* store, const std::array<Pane*, kSiteCount>& panes) {
    if (!store) return;
    for (int i = 0; i < kSiteCount; ++i) {
        Pane* pane = panes[static_cast<std::size_t>(i)];
        const QString key = QString::number(i);
        const auto save = [&](const QString& section, auto read) {
            PaneDocument* doc = pane ? pane->document() : nullptr;
            if (!doc) return;
            if (const auto text = ScrollOffsetToText((doc->*read)()))
                store->SaveSetting(kAppName, section, key, *text);
        };
        save(kSectionScrollTop, &PaneDocument::scrollTop);
        save(kSectionScrollLeft, &PaneDocument::scrollLeft);
    }
}

bool RestoreScrollPositions(SettingsStore* store, Pane* pane, int site) {
    if (!store || !pane || !IsSiteIndex(site)) return false;
    const QString key = QString::number(site);
    const QString none = QStringLiteral("0");

    const QString top = store->GetSetting(kAppName, kSectionScrollTop, key, none);
    PaneDocument* doc = pane->document();
    if (!doc || !doc->setScrollTop(top)) return false;

    const QString left = store->GetSetting(kAppName, kSectionScrollLeft, key, none);
    doc = pane->document();
    return doc && doc->setScrollLeft(left);
}

}  // namespace quintavia
