#pragma once

#include <QString>
#include <QTextDocument>

namespace quintavia {

// A tooltip that shows `text` as it stands. Qt takes a tooltip for markup as soon as it looks
// like some ("&lt;" before the first line break will do), and a page's "&#x202E;" would come
// back as the bidi override that ShownText leaves out: escaped, nothing in it is markup.
inline QString PlainToolTip(const QString& text) {
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

}  // namespace quintavia
