#pragma once

#include <QCoreApplication>

namespace quintavia {

// The names the program gives itself, which its settings file and its folders are named after:
// the program and the tools that drive its window name themselves alike.
inline void NameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Quintavia"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quintavia"));
}

}  // namespace quintavia
