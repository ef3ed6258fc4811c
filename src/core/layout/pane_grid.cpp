#include "core/layout/pane_grid.h"

#include <QStringList>
#include <cmath>

#include "core/layout/twips.h"

namespace quintavia {
namespace {

// Sums and quotients are worked out wider and then kept in single precision, as the window's
// coordinates are.
float Single(double value) {
    return static_cast<float>(value);
}

}  // namespace

GridShape GridShapeFor(int paneCount) {
    if (paneCount <= 1) return {1, 1};
    const auto columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(paneCount))));
    return {columns, (paneCount + columns - 1) / columns};
}

QString PaneCaption(int pane, int paneCount) {
    const GridShape shape = GridShapeFor(paneCount);
    const int row = pane / shape.columns;
    const int column = pane % shape.columns;
    const auto edge = [](int at, int count, const char* first, const char* middle,
                         const char* last) -> QString {
        if (count <= 1) return {};
        if (at == 0) return QString::fromUtf8(first);
        if (at == count - 1) return QString::fromUtf8(last);
        return QString::fromUtf8(middle);
    };
    const QString vertical = edge(row, shape.rows, "in alto", "al centro", "in basso");
    const QString horizontal = edge(column, shape.columns, "a sinistra", "al centro", "a destra");
    QString where;
    if (vertical == u"al centro" && horizontal == u"al centro")
        where = vertical;
    else
        where = QStringList{vertical, horizontal}.join(u' ').trimmed();
    const QString number = QString::number(pane + 1);
    QString caption = QStringLiteral("Riquadro ") + (pane < 9 ? u'&' + number : number);
    if (!where.isEmpty()) caption += QStringLiteral(" (") + where + u')';
    return caption;
}

PaneRects PaneGrid(QSize client, int paneCount, const PaneRects& previous) {
    const GridShape shape = GridShapeFor(paneCount);
    const float width = PixelsToTwips(client.width());
    const float height = PixelsToTwips(client.height());
    const float columnWidth = Single(double{width} / shape.columns);
    const float rowHeight = Single((double{height} - kTopStripTwips) / shape.rows);

    PaneRects rects(std::max(paneCount, 0));
    for (qsizetype i = 0; i < rects.size(); ++i) {
        rects[i].setWidth(TwipsToPixels(columnWidth));
        rects[i].setHeight(rowHeight >= 0 ? TwipsToPixels(rowHeight)
                                          : previous.value(i, QRect()).height());
    }
    const int top = TwipsToPixels(kTopStripTwips);
    for (qsizetype i = 0; i < rects.size(); ++i) {
        const qsizetype row = i / shape.columns;
        const qsizetype column = i % shape.columns;
        // A row starts under the rows above it as its first pane measures them, whatever height
        // the others have; a pane starts where the one left of it ends.
        const qsizetype first = row * shape.columns;
        const int y = row == 0 ? top
                               : TwipsToPixels(Single(double{PixelsToTwips(rects[first].height())} *
                                                          static_cast<double>(row) +
                                                      kTopStripTwips));
        const int x = column == 0 ? 0 : rects[i - 1].x() + rects[i - 1].width();
        rects[i].moveTo(x, y);
    }
    return rects;
}

}  // namespace quintavia
