#include "core/watch/kept.h"

#include <QLocale>

namespace quintavia {

QString TriStateText(TriState state) {
    return QString::number(static_cast<int>(state));
}

std::optional<TriState> TriStateFromText(const QString& text) {
    // The C locale, so that a file reads the same whatever language the desktop speaks; and
    // without group separators, which would let "0,002" pass for 2.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const int value = c.toInt(text.trimmed(), &ok);
    if (!ok) return std::nullopt;
    switch (value) {
        case static_cast<int>(TriState::Unticked):
            return TriState::Unticked;
        case static_cast<int>(TriState::Ticked):
            return TriState::Ticked;
        case static_cast<int>(TriState::Greyed):
            return TriState::Greyed;
        default:
            return std::nullopt;
    }
}

bool Kept::operator==(const Kept& other) const {
    if (options != other.options) return false;
    for (auto site = sites.cbegin(); site != sites.cend(); ++site)
        if (*site != other.site(site.key())) return false;
    for (auto site = other.sites.cbegin(); site != other.sites.cend(); ++site)
        if (*site != this->site(site.key())) return false;
    return true;
}

}  // namespace quintavia
