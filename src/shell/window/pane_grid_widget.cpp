#include "shell/window/pane_grid_widget.h"

#include <QFont>
#include <QPalette>
#include <algorithm>

#include "core/layout/twips.h"
#include "shell/window/fonts.h"

namespace quintavia {
namespace {

constexpr int kLabelWidthTwips = 1155;
// What a line edit keeps each side of its text, past its margins, and the cursor's width.
constexpr int kLabelTextPadding = 6;

}  // namespace

PaneGridWidget::PaneGridWidget(int paneCount, Beep& beep, QWebEngineProfile* profile,
                               QWidget* parent)
    : QWidget(parent), beep_(beep), profile_(profile) {
    setObjectName(QStringLiteral("paneGrid"));
    setAccessibleName(QStringLiteral("Pagine dei siti"));
    setPaneCount(paneCount);
}

void PaneGridWidget::setPaneCount(int count) {
    while (panes_.size() > count) {
        delete labels_.takeLast();
        delete panes_.takeLast();
    }
    const auto from = static_cast<int>(panes_.size());
    for (int i = from; i < count; ++i) {
        auto* pane = new WebPane(i, beep_, profile_, this);
        pane->setObjectName(QStringLiteral("pane%1").arg(i));
        panes_.append(pane);
        // A child made after its window was shown stays hidden until told.
        if (from > 0) pane->show();
    }

    const QFont labelFont = SiteLabelFont();
    for (int i = from; i < count; ++i) {
        auto* label = new QLineEdit(this);
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
        label->resize(TwipsToPixels(kLabelWidthTwips), TwipsToPixels(285));
        label->hide();
        labels_.append(label);
    }
    const GridShape shape = GridShapeFor(count);
    setAccessibleDescription(QStringLiteral("Le pagine dei siti, %1 per riga, su %2 righe")
                                 .arg(shape.columns)
                                 .arg(shape.rows));
}

void PaneGridWidget::showSite(int pane, const SiteRule& site) {
    WebPane* shown = panes_.at(pane);
    shown->setAccessibleName(QStringLiteral("Pagina di ") + site.name);
    // Two panes may show boards of one name: where each is tells them apart.
    shown->setAccessibleDescription(PaneCaption(pane, paneCount()).remove(u'&') +
                                    QStringLiteral(": i risultati della ricerca su ") + site.name);
    QLineEdit* label = labels_.at(pane);
    label->setText(site.paneLabel);
    // The design's width, or as wide as the name needs: a longer name is never scrolled out of
    // sight.
    const QMargins margins = label->textMargins() + label->contentsMargins();
    const int needed = label->fontMetrics().horizontalAdvance(site.paneLabel) + margins.left() +
                       margins.right() + kLabelTextPadding;
    label->resize(std::max(TwipsToPixels(kLabelWidthTwips), needed), label->height());
    label->setCursorPosition(0);
    shown->showSite(site);
}

void PaneGridWidget::layOut() {
    PaneRects previous;
    for (const WebPane* pane : panes_) previous.append(pane->geometry());
    const PaneRects rects = PaneGrid(size(), paneCount(), previous);
    for (qsizetype i = 0; i < panes_.size(); ++i) {
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
