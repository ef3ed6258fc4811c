#include "shell/window/fonts.h"

#include <QFontDatabase>
#include <QString>

namespace quintavia {
namespace {

// The design's 8.25 pt, at the 96 dpi that its 15 twips to the pixel stand for. Given in
// pixels: the controls' sizes are fixed in pixels, and a screen of another logical dpi must
// not grow the text past them.
constexpr int kDesignPixelSize = 11;

// `family` at the design's size or, where it is not installed, the platform's sans serif
// stretched as asked (fontconfig then picks a condensed face, if it has one).
QFont DesignFont(const QString& family, QFont::Stretch stretchWithoutIt) {
    QFont font;
    if (QFontDatabase::hasFamily(family)) {
        font.setFamily(family);
    } else {
        font.setFamily(QStringLiteral("Sans Serif"));
        font.setStretch(stretchWithoutIt);
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kDesignPixelSize);
    return font;
}

}  // namespace

// The design names MS Sans Serif, whose widths Arial's (and so Liberation Sans's) match
// closely. Its captions, though, were laid out beside the design platform's check marks,
// which take some 17 px; the style Qt draws here takes 26 px beside a caption, so "Avviso
// sonoro" and "Auto Posizione" in Liberation Sans miss their 89 and 91 px by 5 and 8 px.
// The narrow cut of the same family, at the same size and height, leaves them room.
QFont WindowFont() {
    return DesignFont(QStringLiteral("Liberation Sans Narrow"), QFont::Condensed);
}

// The labels have no check mark beside them, and the face metric-compatible with the design's
// own fits their 77 px with room to spare.
QFont SiteLabelFont() {
    QFont font = DesignFont(QStringLiteral("Liberation Sans"), QFont::Unstretched);
    font.setWeight(QFont::Bold);
    return font;
}

}  // namespace quintavia
