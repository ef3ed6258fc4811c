// Readable test failures for the settings values.
#pragma once

#include <ostream>

#include "store/settings_keys.h"

namespace quintavia {

inline void PrintTo(TriState state, std::ostream* out) {
    *out << "TriState(" << static_cast<int>(state) << ')';
}

inline void PrintTo(const SettingsEntry& entry, std::ostream* out) {
    *out << '[' << entry.section.toStdString() << "] " << entry.key.toStdString() << '='
         << EncodeIniValue(entry.value).toStdString();
}

inline void PrintTo(const Settings& s, std::ostream* out) {
    const auto texts = [out](const char* name, const std::array<QString, kSiteCount>& values) {
        *out << name << " {";
        for (const QString& value : values)
            *out << " \"" << EncodeIniValue(value).toStdString() << '"';
        *out << " } ";
    };
    texts("lastListing", s.lastListing);
    *out << "autoPosition " << static_cast<int>(s.autoPosition) << " region \""
         << EncodeIniValue(s.region).toStdString() << "\" soundAlert "
         << static_cast<int>(s.soundAlert) << ' ';
    texts("scrollTop", s.scrollTop);
    texts("scrollLeft", s.scrollLeft);
    *out << "includeWords \"" << EncodeIniValue(s.includeWords).toStdString()
         << "\" excludeWords \"" << EncodeIniValue(s.excludeWords).toStdString() << "\" ";
}

}  // namespace quintavia
