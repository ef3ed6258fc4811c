#pragma once

#include <QString>
#include <array>

#include "core/sites/site_rules.h"
#include "core/watch/kept.h"

namespace support {

// What is kept of the four default sites, by the pane each is the default of: the way the
// settings file keys them, and the way the tests write them.
using FourTexts = std::array<QString, 4>;

inline quintavia::SiteKept& DefaultSite(quintavia::Kept& kept, int pane) {
    return kept.sites[quintavia::DefaultRules()[pane].id];
}
inline quintavia::SiteKept DefaultSite(const quintavia::Kept& kept, int pane) {
    return kept.site(quintavia::DefaultRules()[pane].id);
}

inline FourTexts LastTitles(const quintavia::Kept& kept) {
    FourTexts titles;
    for (int i = 0; i < 4; ++i)
        titles[static_cast<std::size_t>(i)] = DefaultSite(kept, i).lastListing;
    return titles;
}
inline FourTexts ScrollTops(const quintavia::Kept& kept) {
    FourTexts offsets;
    for (int i = 0; i < 4; ++i)
        offsets[static_cast<std::size_t>(i)] = DefaultSite(kept, i).scrollTop;
    return offsets;
}
inline FourTexts ScrollLefts(const quintavia::Kept& kept) {
    FourTexts offsets;
    for (int i = 0; i < 4; ++i)
        offsets[static_cast<std::size_t>(i)] = DefaultSite(kept, i).scrollLeft;
    return offsets;
}

inline void SetLastTitles(quintavia::Kept& kept, const FourTexts& titles) {
    for (int i = 0; i < 4; ++i)
        DefaultSite(kept, i).lastListing = titles[static_cast<std::size_t>(i)];
}
inline void SetScrollTops(quintavia::Kept& kept, const FourTexts& offsets) {
    for (int i = 0; i < 4; ++i)
        DefaultSite(kept, i).scrollTop = offsets[static_cast<std::size_t>(i)];
}
inline void SetScrollLefts(quintavia::Kept& kept, const FourTexts& offsets) {
    for (int i = 0; i < 4; ++i)
        DefaultSite(kept, i).scrollLeft = offsets[static_cast<std::size_t>(i)];
}

}  // namespace support
