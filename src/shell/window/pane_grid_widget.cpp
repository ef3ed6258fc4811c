#include "shell/window/pane_grid_widget.h"

#include <QFont>
#include <QPalette>

#include "core/layout/twips.h"
#include "core/sites/site_rules.h"
#include "shell/window/fonts.h"

namespace quintavia {

PaneGridWidget::PaneGridWidget(Beep& beep, QWebEngineProfile* profile, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("paneGrid"));
    setAccessibleName(QStringLiteral("Pagine dei siti"));
    setAccessibleDescription(QStringLiteral("Le pagine dei quattro siti, due per due"));
    for (int i = 0; i < kSiteCount; ++i) {
        auto* pane = new WebPane(i, beep, profile, this);
        pane->setObjectName(QStringLiteral("pane%1").arg(i));
        panes_[static_cast<std::size_t>(i)] = pane;
    }

    const QFont labelFont = SiteLabelFont();
    for (int i = 0; i < kSiteCount; ++i) {
        auto* label = new QLineEdit(DefaultRules()[i].paneLabel, this);
        label->setObjectName(QStringLiteral("siteLabel%1").arg(i));
        // A name to read, not a field to edit.
        label->setReadOnly(true);
        label->setAccessibleName(QStringLiteral("Nome del sito"));
        label->setAccessibleDescription(QStringLiteral("Il sito della pagina sotto il nome"));
        label->setFont(labelFont);
        label->setFrame(false);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, QColor(255, 255, 0));
        label->setPalette(palette);
        label->resize(TwipsToPixels(1155), TwipsToPixels(285));
        label->hide();
        labels_[static_cast<std::size_t>(i)] = label;
        showSite(i, DefaultRules()[i]);
    }
}

void PaneGridWidget::showSite(int pane, const SiteRule& site) {
    WebPane* shown = panes_.at(static_cast<std::size_t>(pane));
    shown->setAccessibleName(QStringLiteral("Pagina di ") + site.name);
    shown->setAccessibleDescription(QStringLiteral("I risultati della ricerca su ") + site.name);
    labels_.at(static_cast<std::size_t>(pane))->setText(site.paneLabel);
    shown->showSite(site);
}

void PaneGridWidget::layOut() {
    PaneRects previous;
    for (std::size_t i = 0; i < panes_.size(); ++i) previous[i] = panes_[i]->geometry();
    const PaneRects rects = PaneGrid(size(), previous);
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        panes_[i]->setGeometry(rects[i]);
        labels_[i]->move(rects[i].topLeft());
    }
}

void PaneGridWidget::showSiteLabels(bool shown) {
    for (QLineEdit* label : labels_) {
        label->setVisible(shown);
        // A shown label covers its pane's corner, whatever the engine did to the panes meanwhile.
        if (shown) label->raise();
    }
}

void PaneGridWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

}  // namespace quintavia
