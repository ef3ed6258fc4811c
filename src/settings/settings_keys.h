#pragma once

#include <QString>

namespace quintavia {

// Where each persisted value lives in the settings store; keys are digits written as text.
inline const QString kSectionLastListing = QStringLiteral("Settaggio");  // key: site index
inline const QString kSectionOptions = QStringLiteral("Posizione");      // keys below
inline const QString kSectionScrollTop = QStringLiteral("Scroll");       // key: site index
inline const QString kSectionScrollLeft = QStringLiteral("Left");        // key: site index

inline const QString kKeyAutoPosition = QStringLiteral("0");  // Check1
inline const QString kKeyRegionText = QStringLiteral("1");    // Combo1's text
inline const QString kKeySoundAlert = QStringLiteral("2");    // Check2

// The region box's text when nothing was ever saved: its text as designed.
inline const QString kDefaultRegionText = QStringLiteral("Abruzzo");

}  // namespace quintavia
