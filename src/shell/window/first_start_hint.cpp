#include "shell/window/first_start_hint.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QToolButton>

#include "shell/window/accessible_names.h"

namespace quintavia {

FirstStartHint::FirstStartHint(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("firstStartHint"));
    Name(this, QStringLiteral("Primo avvio"),
         QStringLiteral("Dove si scelgono la regione, i siti e le parole da cercare"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    // A pale yellow, as a notice of the desktop's is: apart from the pages under it.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 255, 225));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("firstStartHintText"));
    text_->setTextFormat(Qt::RichText);
    text_->setText(QStringLiteral(
        "Per cominciare: la regione, i siti dei quattro riquadri e le parole da cercare si "
        "scelgono in <a href=\"#impostazioni\">Impostazioni</a> (il pulsante in alto a "
        "destra, o Ctrl+,)."));
    text_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Name(text_, QStringLiteral("Per cominciare"),
         QStringLiteral("La regione, i siti dei quattro riquadri e le parole da cercare si "
                        "scelgono in Impostazioni: il pulsante in alto a destra, o Ctrl+virgola"));
    connect(text_, &QLabel::linkActivated, this, &FirstStartHint::settingsAsked);

    close_ = Named(new QToolButton(this), "firstStartHintClose",
                   QStringLiteral("Chiudi questo suggerimento"), QStringLiteral("Chiudi"),
                   QStringLiteral("Chiude il suggerimento del primo avvio"));
    close_->setText(QStringLiteral("✕"));
    close_->setAutoRaise(true);
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 1, 2, 1);
    layout->addWidget(text_, 1);
    layout->addWidget(close_);
}

void FirstStartHint::place(int top, int width) {
    setGeometry(0, top, width, sizeHint().height());
}

}  // namespace quintavia
