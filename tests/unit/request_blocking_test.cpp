#include "core/engine/request_blocking.h"

#include <gtest/gtest.h>

#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr RequestKind kScript = RequestKind::Script;
constexpr RequestKind kImage = RequestKind::Image;
constexpr RequestKind kFrame = RequestKind::Subdocument;
constexpr RequestKind kXhr = RequestKind::Xhr;
constexpr RequestKind kDocument = RequestKind::Document;

const PublicSuffixes& Suffixes() {
    static const PublicSuffixes list = PublicSuffixes::Parse(u"it\ncom\nco.uk\ngithub.io\n"_s);
    return list;
}

BlockList ListOf(const char* text) {
    BlockList list;
    list.add(text);
    return list;
}

TEST(BlockList, RulesAnchoredAtAHostStopWhatTheySay) {
    struct Case {
        const char* rules;
        const char* url;  // host and rest
        RequestKind kind;
        const char* page;
        bool blocked;
    };
    const Case cases[] = {
        // The host and every host under it, nothing beside it.
        {"||ads.example.com^", "ads.example.com/x.js", kScript, "news.it", true},
        {"||ads.example.com^", "a.b.ads.example.com/x.js", kScript, "news.it", true},
        {"||ads.example.com^", "bads.example.com/x.js", kScript, "news.it", false},
        {"||ads.example.com^", "example.com/x.js", kScript, "news.it", false},
        {"||ads.example.com^", "ads.example.com.evil.it/x", kScript, "news.it", false},
        {"||ads.example.com^", "ADS.example.com./x", kScript, "news.it", true},
        // A host list's bare line.
        {"malware.example.com", "malware.example.com/p", kImage, "news.it", true},
        {"1.2.3.4", "1.2.3.4/p", kFrame, "news.it", true},
        // A path after the host, with its wildcards and separators.
        {"||cdn.example.com/ads/", "cdn.example.com/ads/banner.gif", kImage, "news.it", true},
        {"||cdn.example.com/ads/", "cdn.example.com/news/ads/x", kImage, "news.it", false},
        {"||cdn.example.com/ads/*.js^", "cdn.example.com/ads/a/b.js?x=1", kScript, "news.it", true},
        {"||cdn.example.com/ads/*.js^", "cdn.example.com/ads/a/b.json", kScript, "news.it", false},
        {"||cdn.example.com/p.js|", "cdn.example.com/p.js", kScript, "news.it", true},
        {"||cdn.example.com/p.js|", "cdn.example.com/p.js?v=2", kScript, "news.it", false},
        {"||cdn.example.com^*/track", "cdn.example.com/a/track?x", kXhr, "news.it", true},
        {"||cdn.example.com/Ads/", "cdn.example.com/ADS/x", kImage, "news.it", true},
        {"||h.example.com:8080^", "h.example.com:8080/x", kImage, "news.it", true},
        {"||h.example.com:8080^", "h.example.com/x", kImage, "news.it", false},
        // Types.
        {"||t.example.com^$script", "t.example.com/a", kScript, "news.it", true},
        {"||t.example.com^$script", "t.example.com/a", kImage, "news.it", false},
        {"||t.example.com^$image,subdocument", "t.example.com/a", kFrame, "news.it", true},
        {"||t.example.com^$xmlhttprequest", "t.example.com/a", kXhr, "news.it", true},
        {"||t.example.com^$xhr", "t.example.com/a", kScript, "news.it", false},
        {"||t.example.com^$~script", "t.example.com/a", kScript, "news.it", false},
        {"||t.example.com^$~script", "t.example.com/a", kImage, "news.it", true},
        {"||t.example.com^$all", "t.example.com/a", kImage, "news.it", true},
        // Parties: by registrable domain, the page's against the request's.
        {"||t.example.com^$third-party", "t.example.com/a", kScript, "news.it", true},
        {"||t.example.com^$third-party", "t.example.com/a", kScript, "www.example.com", false},
        {"||t.example.com^$3p", "t.example.com/a", kScript, "", true},
        {"||t.example.com^$~third-party", "t.example.com/a", kScript, "www.example.com", true},
        {"||t.example.com^$~third-party", "t.example.com/a", kScript, "news.it", false},
        {"||t.a.github.io^$3p", "t.a.github.io/x", kScript, "b.github.io", true},
        {"||t.a.github.io^$3p", "t.a.github.io/x", kScript, "w.a.github.io", false},
        // The page's domain.
        {"||t.example.com^$domain=news.it|~sport.news.it", "t.example.com/a", kScript,
         "www.news.it", true},
        {"||t.example.com^$domain=news.it|~sport.news.it", "t.example.com/a", kScript,
         "sport.news.it", false},
        {"||t.example.com^$domain=news.it", "t.example.com/a", kScript, "altro.it", false},
        {"||t.example.com^$domain=~news.it", "t.example.com/a", kScript, "altro.it", true},
        {"||t.example.com^$domain=~news.it", "t.example.com/a", kScript, "news.it", false},
        {"||t.example.com^$domain=news.*|lavoro.it", "t.example.com/a", kScript, "lavoro.it", true},
        // Exceptions, on the host or a domain above it, with their own options.
        {"||example.com^\n@@||cdn.example.com^", "cdn.example.com/a", kScript, "news.it", false},
        {"||example.com^\n@@||cdn.example.com^", "www.example.com/a", kScript, "news.it", true},
        {"||cdn.example.com^\n@@||example.com/ok/$script", "cdn.example.com/ok/a", kScript,
         "news.it", false},
        {"||cdn.example.com^\n@@||example.com/ok/$script", "cdn.example.com/ok/a", kImage,
         "news.it", true},
        {"||cdn.example.com^\n@@||cdn.example.com^$domain=news.it", "cdn.example.com/a", kImage,
         "news.it", false},
        {"||cdn.example.com^$important\n@@||cdn.example.com^$domain=news.it", "cdn.example.com/a",
         kImage, "news.it", true},
        // A page's own document is never stopped, whatever the rule says.
        {"||bad.example.com^$all", "bad.example.com/", kDocument, "bad.example.com", false},
        {"||bad.example.com^", "bad.example.com/", kDocument, "", false},
        // Rules that are not taken.
        {"example.com##.ad", "example.com/a", kImage, "news.it", false},
        {"||ads.example.com^$popup", "ads.example.com/a", kImage, "news.it", false},
        {"||ads.example.com^$redirect=noop.js", "ads.example.com/a", kScript, "news.it", false},
        {"||ads.example.com^$doc", "ads.example.com/a", kFrame, "news.it", false},
        {"||ads.*.com^", "ads.x.com/a", kImage, "news.it", false},
        {"||ads.", "ads.x.com/a", kImage, "news.it", false},
        {"/banner/*/ad.js", "x.com/banner/1/ad.js", kScript, "news.it", false},
        {"/^https?:\\/\\/ads\\./", "ads.x.com/", kScript, "news.it", false},
        {"||ads.example.com^$domain=x.*", "ads.example.com/a", kImage, "x.it", false},
        {"! ||ads.example.com^", "ads.example.com/a", kImage, "news.it", false},
    };
    for (const Case& c : cases) {
        const BlockList list = ListOf(c.rules);
        const QByteArray url(c.url);
        const qsizetype rest = url.indexOf('/');
        const qsizetype port = url.indexOf(':');
        const qsizetype hostEnd = port >= 0 && port < rest ? port : rest;
        const BlockedRequest request{.host = url.first(hostEnd).toLower(),
                                     .rest = url.sliced(hostEnd),
                                     .pageHost = c.page,
                                     .kind = c.kind};
        EXPECT_EQ(ShouldBlock(list, Suffixes(), {}, request), c.blocked)
            << c.rules << " | " << c.url << " from " << c.page;
    }
}

TEST(BlockList, CountsWhatItTookAndWhatItSkipped) {
    const BlockList list = ListOf(
        "! Title: a list\n[Adblock Plus 2.0]\n||a.example.com^\n||b.example.com^$script\r\n"
        "example.com##.ad\n/ads/\n||c.example.com^$csp=script-src\nhost.example.org\n\n");
    EXPECT_EQ(list.ruleCount(), 3);
    EXPECT_EQ(list.skippedCount(), 3);
    EXPECT_TRUE(BlockList().isEmpty());
}

TEST(ShouldBlock, ASitesOwnPagesKeepTheirOwnRequestsAndCanTurnItOff) {
    const BlockList list = ListOf("||ads.example.com^\n||cdn.lavoro.it^\n");
    const QList<BlockingSite> sites{{u"lavoro.it"_s, true}, {u"libero.it"_s, false}};
    struct Case {
        const char* host;
        const char* page;
        bool blocked;
    };
    const Case cases[] = {
        {"ads.example.com", "www.lavoro.it", true},
        // Whatever the lists say of the site's own hosts, its pages need them.
        {"cdn.lavoro.it", "www.lavoro.it", false},
        {"cdn.lavoro.it", "news.it", true},
        // A site with "blocco = no".
        {"ads.example.com", "annunci.libero.it", false},
        {"ads.example.com", "news.it", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShouldBlock(list, Suffixes(), sites,
                              {.host = c.host, .rest = "/a", .pageHost = c.page, .kind = kScript}),
                  c.blocked)
            << c.host << " from " << c.page;
}

}  // namespace
}  // namespace quintavia
