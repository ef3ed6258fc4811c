#include "core/page/page_walls.h"

#include <QRegularExpression>

namespace quintavia {
namespace {

// The engine serialises every attribute as name="value". An id is matched whole; a class as one
// of the words of its attribute. What a provider loads on every page (its script, its style
// sheet, the TCF API itself) says nothing: only the elements of a banner or a challenge that is
// being shown count.
const QRegularExpression& BotCheck() {
    static const QRegularExpression pattern(
        QStringLiteral(
            // Cloudflare's interstitial, in English and in Italian, and its block page
            R"re(<title>\s*(just a moment|solo un momento|attention required! \| cloudflare))re"
            R"re(|\sid="(challenge-form|challenge-running|challenge-stage|px-captcha)")re"
            R"re(|window\._cf_chl_opt\b)re"
            // captcha widgets
            R"re(|\sclass="([^"]*\s)?(g-recaptcha|h-captcha|cf-turnstile)(\s[^"]*)?")re"
            // DataDome's challenge frame
            R"re(|\ssrc="https://geo\.captcha-delivery\.com/)re"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression& Consent() {
    static const QRegularExpression pattern(
        QStringLiteral(
            // Didomi's notice and its popup; its host element stays once consent is given
            R"re(\sid="(didomi-notice|didomi-popup|iubenda-cs-banner|onetrust-banner-sdk)")re"
            R"re(|\sclass="([^"]*\s)?(qc-cmp2-ui|qc-cmp2-summary-buttons|didomi-popup-notice))re"
            R"re((\s[^"]*)?")re"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

}  // namespace

std::optional<WallKind> DetectWall(const QString& markup) {
    if (BotCheck().match(markup).hasMatch()) return WallKind::BotCheck;
    if (Consent().match(markup).hasMatch()) return WallKind::Consent;
    return std::nullopt;
}

QString WallReason(WallKind wall) {
    switch (wall) {
        case WallKind::Consent:
            return QStringLiteral("la pagina chiede il consenso ai cookie");
        case WallKind::BotCheck:
            return QStringLiteral("il sito chiede di dimostrare che non sei un robot");
    }
    return {};
}

QString BlindAdvice(std::optional<WallKind> wall, const QString& successor) {
    const QString otherSite = successor.isEmpty()
                                  ? QStringLiteral("scegli un altro sito in Impostazioni")
                                  : QStringLiteral("scegli %1 in Impostazioni").arg(successor);
    if (!wall) return otherSite;
    switch (*wall) {
        case WallKind::Consent:
            return QStringLiteral(
                       "accetta una volta nel riquadro, il profilo lo ricorda; "
                       "oppure ") +
                   otherSite;
        case WallKind::BotCheck:
            return QStringLiteral(
                       "apri una volta il riquadro a mano e supera la verifica; "
                       "oppure ") +
                   otherSite;
    }
    return otherSite;
}

}  // namespace quintavia
