// Readable test failures for the settings values.
#pragma once

#include <ostream>

#include "core/layout/panes.h"
#include "kept_sites.h"
#include "store/settings_keys.h"

namespace quintavia {

inline void PrintTo(TriState state, std::ostream* out) {
    *out << "TriState(" << static_cast<int>(state) << ')';
}

inline void PrintTo(const SettingsEntry& entry, std::ostream* out) {
    *out << '[' << entry.section.toStdString() << "] " << entry.key.toStdString() << '='
         << EncodeIniValue(entry.value).toStdString();
}

inline void PrintTo(const Kept& s, std::ostream* out) {
    const auto texts = [out](const char* name, const std::array<QString, kPaneCount>& values) {
        *out << name << " {";
        for (const QString& value : values)
            *out << " \"" << EncodeIniValue(value).toStdString() << '"';
        *out << " } ";
    };
    texts("lastListing", support::LastTitles(s));
    *out << "autoPosition " << static_cast<int>(s.options.autoPosition) << " region \""
         << EncodeIniValue(s.options.region).toStdString() << "\" soundAlert "
         << static_cast<int>(s.options.soundAlert) << ' ';
    texts("scrollTop", support::ScrollTops(s));
    texts("scrollLeft", support::ScrollLefts(s));
    *out << "includeWords \"" << EncodeIniValue(s.options.includeWords).toStdString()
         << "\" excludeWords \"" << EncodeIniValue(s.options.excludeWords).toStdString() << "\" ";
}

}  // namespace quintavia
