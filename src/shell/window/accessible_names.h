#pragma once

#include <QString>
#include <QWidget>

namespace quintavia {

// What assistive technology reads of a control: its name and what it is for, by its role
// rather than by what it shows.
inline void Name(QWidget* widget, const QString& spokenName, const QString& description) {
    widget->setAccessibleName(spokenName);
    widget->setAccessibleDescription(description);
}

// What a control is called, says and reads out: its object name, its tooltip, and its name and
// description for assistive technology.
template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QString& tip, const QString& spokenName,
              const QString& description) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setToolTip(tip);
    Name(widget, spokenName, description);
    return widget;
}

}  // namespace quintavia
