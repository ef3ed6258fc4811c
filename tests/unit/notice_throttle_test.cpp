#include "core/watch/notice_throttle.h"

#include <gtest/gtest.h>

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

QList<FoundListing> Titles(std::initializer_list<const char16_t*> titles) {
    QList<FoundListing> found;
    for (const char16_t* title : titles) found.append({.title = QString::fromUtf16(title)});
    return found;
}

// A site's notices come at most once a quiet time; what comes meanwhile is told in one notice
// when it ends, the newest first, and another site is never held back by the first.
TEST(NoticeThrottle, EachSiteIsToldAtMostOnceAQuietTimeAndNothingHeldIsLost) {
    constexpr int kQuiet = NoticeThrottle::kQuietSeconds;
    struct Step {
        const char* what;
        QString site;               // announce for this site, or tick when empty
        QList<FoundListing> found;  // announced
        int ticks = 0;              // seconds passed
        QStringList summaries;      // the notices that come
    };
    const Step steps[] = {
        {"the first comes at once", u"a"_s, Titles({u"Uno"}), 0, {u"Nuovo annuncio su A"_s}},
        {"another site is not held", u"b"_s, Titles({u"Due"}), 0, {u"Nuovo annuncio su B"_s}},
        {"within the quiet time: held", u"a"_s, Titles({u"Tre", u"Quattro"}), 0, {}},
        {"held again", u"a"_s, Titles({u"Cinque"}), 0, {}},
        {"not yet", {}, {}, kQuiet - 1, {}},
        {"the quiet ends: one notice of all held", {}, {}, 1, {u"3 nuovi annunci su A"_s}},
        {"that one began a quiet time too", u"a"_s, Titles({u"Sei"}), 0, {}},
        {"nothing else was held for B", {}, {}, kQuiet, {u"Nuovo annuncio su A"_s}},
        {"a site quiet long enough is told at once", {}, {}, kQuiet, {}},
        {"", u"a"_s, Titles({u"Sette"}), 0, {u"Nuovo annuncio su A"_s}},
    };
    NoticeThrottle throttle;
    for (const Step& step : steps) {
        QStringList summaries;
        if (!step.site.isEmpty()) {
            if (const std::optional<Notice> notice =
                    throttle.announce(step.site, step.site.toUpper(), step.found))
                summaries.append(notice->summary);
        }
        for (int i = 0; i < step.ticks; ++i)
            for (const Notice& notice : throttle.tick()) summaries.append(notice.summary);
        EXPECT_EQ(summaries, step.summaries) << step.what;
    }
}

TEST(NoticeThrottle, HeldListingsNameTheNewestFirstAndAForgottenSiteTellsNothing) {
    NoticeThrottle throttle;
    ASSERT_TRUE(throttle.announce(u"a"_s, u"A"_s, Titles({u"Uno"})));
    EXPECT_FALSE(throttle.announce(u"a"_s, u"A"_s, Titles({u"Due", u"Tre"})));
    EXPECT_FALSE(throttle.announce(u"a"_s, u"A"_s, Titles({u"Quattro", u"Cinque"})));
    QList<Notice> told;
    for (int i = 0; i < NoticeThrottle::kQuietSeconds; ++i) told += throttle.tick();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0].body, u"Quattro\nCinque\nDue\ne altri 1"_s);

    EXPECT_FALSE(throttle.announce(u"a"_s, u"A"_s, Titles({u"Sei"})));
    throttle.forget(u"a"_s);
    told.clear();
    for (int i = 0; i < NoticeThrottle::kQuietSeconds; ++i) told += throttle.tick();
    EXPECT_TRUE(told.isEmpty());
}

}  // namespace
}  // namespace quintavia
