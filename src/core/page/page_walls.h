#pragma once

#include <QString>
#include <optional>

namespace quintavia {

// A site's page can stand between the user and its listings: the question of consent to
// cookies, or a check that the visitor is a person. Neither is a broken rule, and each has its
// own remedy in the pane, so a blind site says which one it met.

enum class WallKind {
    Consent,   // a consent banner of one of the common providers
    BotCheck,  // a challenge page or a captcha
};

// The wall in a page's markup (as the engine serialises it) that shows no listings; nullopt
// when none is known. A bot check wins over a consent banner shown with it: the banner is
// dismissed in a click, the check is what keeps the listings away. Meant for pages without
// listings only: sites that pass a check or hold a consent also carry some of these names.
std::optional<WallKind> DetectWall(const QString& markup);

// Why the site is blind, in the words of BlindReason: lower case, to follow a colon.
QString WallReason(WallKind wall);

// What the user can do about a blind site, lower case, to follow the reason; it always ends
// by offering another site: `successor` by its name when one took over, else any.
QString BlindAdvice(std::optional<WallKind> wall, const QString& successor = {});

}  // namespace quintavia
