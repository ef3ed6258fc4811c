#include "core/page/page_walls.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(PageWalls, ConsentBannersAndBotChecksAreToldApartFromOtherEmptyPages) {
    struct Case {
        const char* what;
        QString markup;
        std::optional<WallKind> wall;
    };
    const std::optional<WallKind> none;
    const auto consent = WallKind::Consent;
    const auto bot = WallKind::BotCheck;
    const Case cases[] = {
        {"an empty page", u""_s, none},
        {"a page without listings", u"<html><body><p>Nessun annuncio</p></body></html>"_s, none},
        {"Didomi's notice",
         u"<div id=\"didomi-host\"><div id=\"didomi-notice\" class=\"didomi-notice-banner\">"_s,
         consent},
        {"Didomi's popup", u"<div class=\"didomi-popup-notice didomi-popup-notice-optin\">"_s,
         consent},
        {"Didomi after consent: only its host and its styles",
         u"<style>#didomi-notice{color:red}</style><div id=\"didomi-host\"></div>"_s, none},
        {"iubenda", u"<div id=\"iubenda-cs-banner\" class=\"iubenda-cs-default\">"_s, consent},
        {"OneTrust", u"<div id=\"onetrust-banner-sdk\" class=\"otFlat\">"_s, consent},
        {"Quantcast", u"<div class=\"qc-cmp2-container\"><div class=\"qc-cmp2-ui\" role=x>"_s,
         consent},
        {"upper case", u"<DIV ID=\"IUBENDA-CS-BANNER\">"_s, consent},
        {"the TCF API alone, on every page that asks",
         u"<script>window.__tcfapi('ping', 2, f)</script>"_s, none},
        {"a name in another attribute", u"<div data-id=\"didomi-notice\">"_s, none},
        {"a longer name", u"<div id=\"iubenda-cs-banner-x\">"_s, none},
        {"a class that only begins alike", u"<div class=\"qc-cmp2-uix\">"_s, none},
        {"Cloudflare's interstitial", u"<html><head><title>Just a moment...</title></head><body>"_s,
         bot},
        {"Cloudflare's interstitial in Italian", u"<title>Solo un momento…</title>"_s, bot},
        {"Cloudflare's challenge options", u"<script>window._cf_chl_opt={cvId: '3'}</script>"_s,
         bot},
        {"Cloudflare's challenge form", u"<form id=\"challenge-form\" action=\"/x\">"_s, bot},
        {"Cloudflare's block page", u"<title>Attention Required! | Cloudflare</title>"_s, bot},
        {"Cloudflare's bot script, on ordinary pages too",
         u"<script src=\"/cdn-cgi/challenge-platform/scripts/jsd/main.js\"></script>"_s, none},
        {"reCAPTCHA", u"<div class=\"form g-recaptcha\" data-sitekey=\"k\">"_s, bot},
        {"reCAPTCHA's badge, on ordinary pages too", u"<div class=\"grecaptcha-badge\">"_s, none},
        {"hCaptcha", u"<div class=\"h-captcha\" data-sitekey=\"k\">"_s, bot},
        {"Turnstile", u"<div class=\"cf-turnstile\">"_s, bot},
        {"DataDome", u"<iframe src=\"https://geo.captcha-delivery.com/captcha/?x\">"_s, bot},
        {"a title that only speaks of a moment", u"<title>Lavoro in un momento</title>"_s, none},
        {"a check and a banner: the check first",
         u"<div id=\"didomi-notice\"></div><div class=\"h-captcha\"></div>"_s, bot},
    };
    for (const Case& c : cases) EXPECT_EQ(DetectWall(c.markup), c.wall) << c.what;
}

TEST(PageWalls, EveryAdviceEndsByOfferingAnotherSite) {
    const QString otherSite = u"scegli un altro sito in Impostazioni"_s;
    for (const std::optional<WallKind> wall :
         {std::optional<WallKind>(), std::optional(WallKind::Consent),
          std::optional(WallKind::BotCheck)}) {
        const QString advice = BlindAdvice(wall);
        EXPECT_TRUE(advice.endsWith(otherSite)) << advice.toStdString();
        EXPECT_EQ(advice.front(), advice.front().toLower()) << advice.toStdString();
    }
    EXPECT_EQ(BlindAdvice(std::nullopt), otherSite);
    EXPECT_TRUE(BlindAdvice(WallKind::Consent, u"Jobrapido (nuovo)"_s)
                    .endsWith(u"scegli Jobrapido (nuovo) in Impostazioni"_s));
    EXPECT_NE(BlindAdvice(WallKind::Consent), BlindAdvice(WallKind::BotCheck));
    EXPECT_NE(WallReason(WallKind::Consent), WallReason(WallKind::BotCheck));
}

}  // namespace
}  // namespace quintavia
