#include <gtest/gtest.h>

#include "core/engine/about_text.h"
#include "core/engine/engine_start.h"
#include "core/engine/navigation_rules.h"
#include "qt_printing.h"

namespace quintavia {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(MayNavigateTo, OnlyTheSchemesTheEngineShowsItself) {
    for (const char* url : {"http://www.jobonline.it/", "HTTPS://example.com/", "about:blank",
                            "data:text/html,x", "blob:http://example.com/0-1"})
        EXPECT_TRUE(MayNavigateTo(QUrl(QString::fromLatin1(url)))) << url;
    for (const char* url : {"mailto:lavoro@example.com", "ssh://host", "tel:+39061234",
                            "web+lavoro:annuncio", "file:///etc/passwd", "qrc:/icons/icon_16.xpm",
                            "javascript:alert(1)", "view-source:http://example.com/",
                            "chrome://settings", "ftp://example.com/", "", "nessuno schema"})
        EXPECT_FALSE(MayNavigateTo(QUrl(QString::fromLatin1(url)))) << url;
}

TEST(PlanEngineStart, ANormalUserKeepsTheSandboxWhateverTheEnvironmentSays) {
    struct Case {
        const char* what;
        bool disabledByEnvironment;
        QString flags;
        QString expectedFlags;
        QString notice;  // empty: none
    };
    const QString ignored =
        u"Quintavia: il motore del browser tiene la sua sandbox; ignorato "
        u"dall'ambiente: "_s;
    const Case cases[] = {
        {"nothing set", false, u""_s, u"--log-level=3 --lang=it"_s, u""_s},
        {"the tests' proxy kept", false, u"--proxy-server=http://127.0.0.1:8765 --no-first-run"_s,
         u"--proxy-server=http://127.0.0.1:8765 --no-first-run --log-level=3 --lang=it"_s, u""_s},
        {"the variable", true, u"--no-first-run"_s, u"--no-first-run --log-level=3 --lang=it"_s,
         ignored + u"QTWEBENGINE_DISABLE_SANDBOX"_s},
        {"the switch, in any of its spellings", false,
         u"  --no-sandbox -no-sandbox --proxy-server=\"http://a b\"  --no-sandbox=1"_s,
         u"--proxy-server=\"http://a b\" --log-level=3 --lang=it"_s,
         ignored + u"--no-sandbox, -no-sandbox, --no-sandbox=1"_s},
        {"both, and the filter alone", true, u"--disable-seccomp-filter-sandbox --no-sandbox"_s,
         u"--log-level=3 --lang=it"_s,
         ignored +
             u"QTWEBENGINE_DISABLE_SANDBOX, --disable-seccomp-filter-sandbox, --no-sandbox"_s},
        {"pages in the program's own process", false, u"--single-process"_s,
         u"--log-level=3 --lang=it"_s, ignored + u"--single-process"_s},
        {"look-alikes stay", false, u"--no-sandboxes --disable-setuid-sandbox \"--no-sandbox\""_s,
         u"--no-sandboxes --disable-setuid-sandbox \"--no-sandbox\" --log-level=3 --lang=it"_s,
         u""_s},
        {"a log asked for", false, u"--enable-logging --v=1"_s,
         u"--enable-logging --v=1 --lang=it"_s, u""_s},
        {"a log level asked for", false, u"--log-level=0"_s, u"--log-level=0 --lang=it"_s, u""_s},
        {"a language asked for", false, u"--lang=de-DE --no-first-run"_s,
         u"--lang=de-DE --no-first-run --log-level=3"_s, u""_s},
        {"a switch that only begins like it", false, u"--language=de"_s,
         u"--language=de --log-level=3 --lang=it"_s, u""_s},
    };
    for (const Case& c : cases) {
        const EngineStart start = PlanEngineStart(false, c.disabledByEnvironment, c.flags, false);
        EXPECT_FALSE(start.disableSandbox) << c.what;
        EXPECT_EQ(start.chromiumFlags, c.expectedFlags) << c.what;
        EXPECT_EQ(start.notices, c.notice.isEmpty() ? QStringList{} : QStringList{c.notice})
            << c.what;
    }
}

TEST(PlanEngineStart, RootRunsWithoutTheSandboxAndSaysSoOnce) {
    for (const bool disabled : {false, true}) {
        const EngineStart start = PlanEngineStart(true, disabled, u"--no-sandbox --x"_s, false);
        EXPECT_TRUE(start.disableSandbox);
        EXPECT_EQ(start.chromiumFlags, u"--no-sandbox --x --log-level=3 --lang=it"_s);
        ASSERT_EQ(start.notices.size(), 1);
        EXPECT_TRUE(start.notices[0].startsWith(u"Quintavia: attenzione: avviato come root"_s));
        EXPECT_FALSE(start.notices[0].contains(u'\n'));
    }
}

TEST(PlanEngineStart, AnOldEngineRunsV8WithoutItsJitUnlessTheUserSetsV8sFlags) {
    struct Case {
        const char* what;
        bool harden;
        QString flags;
        QString expectedFlags;
        bool hardened;
    };
    const Case cases[] = {
        {"a new engine", false, u""_s, u"--log-level=3 --lang=it"_s, false},
        {"an old one", true, u""_s, u"--log-level=3 --lang=it --js-flags=--jitless"_s, true},
        {"the user's own V8 flags win", true, u"--js-flags=--max-old-space-size=512"_s,
         u"--js-flags=--max-old-space-size=512 --log-level=3 --lang=it"_s, false},
        {"the user's own, jitless among them", true, u"--js-flags=\"--x --jitless\""_s,
         u"--js-flags=\"--x --jitless\" --log-level=3 --lang=it"_s, true},
        {"a look-alike is no V8 flag", true, u"--js-flagsx"_s,
         u"--js-flagsx --log-level=3 --lang=it --js-flags=--jitless"_s, true},
    };
    for (const Case& c : cases) {
        const EngineStart start = PlanEngineStart(false, false, c.flags, c.harden);
        EXPECT_EQ(start.chromiumFlags, c.expectedFlags) << c.what;
        EXPECT_EQ(start.hardened, c.hardened) << c.what;
    }
}

TEST(EngineNeedsHardening, EnginesBeforeTheThresholdAndUnreadableVersions) {
    EXPECT_TRUE(EngineNeedsHardening(u"102.0.5005.177"));
    EXPECT_TRUE(EngineNeedsHardening(u"119.0.6045.214"));
    EXPECT_FALSE(EngineNeedsHardening(u"120.0.6099.0"));
    EXPECT_FALSE(EngineNeedsHardening(u"130"));
    EXPECT_TRUE(EngineNeedsHardening(u""));
    EXPECT_TRUE(EngineNeedsHardening(u"x.1"));
}

TEST(IsHardeningNotice, V8sLineOnWebAssemblyAlone) {
    EXPECT_TRUE(
        IsHardeningNotice("Warning: disabling flag --expose_wasm due to conflicting flags"));
    EXPECT_TRUE(
        IsHardeningNotice("Warning: disabling flag --expose_wasm due to conflicting flags\n"));
    EXPECT_FALSE(IsHardeningNotice("Warning: disabling flag --jitless due to conflicting flags"));
    EXPECT_FALSE(IsHardeningNotice("[1:2:ERROR:render_process_host_impl.cc(5)] crashed"));
    EXPECT_FALSE(IsHardeningNotice(""));
}

TEST(IsEngineNotice, TheEnginesStartUpNoticesAndPageConsolesOnly) {
    EXPECT_TRUE(IsEngineNotice(u"qt.webenginecontext", u"\n\nGL Type: disabled\n"));
    EXPECT_TRUE(IsEngineNotice(u"js", u"Uncaught ReferenceError: x is not defined"));
    EXPECT_TRUE(IsEngineNotice(u"default", u"Sandboxing disabled by user."));
    EXPECT_TRUE(IsEngineNotice(u"default",
                               u"QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/x'"));
    EXPECT_TRUE(IsEngineNotice(u"default",
                               u"WebEngineContext used before QtWebEngineCore::initialize() or "
                               u"OpenGL context creation failed."));
    EXPECT_TRUE(IsEngineNotice(u"default", u"No suitable graphics backend found"));
    // Anything else still speaks.
    EXPECT_FALSE(IsEngineNotice(u"default", u"QStandardPaths: wrong permissions on runtime"));
    EXPECT_FALSE(IsEngineNotice(u"default",
                                u"Release of profile requested but WebEnginePage "
                                u"still not deleted. Expect troubles !"));
    EXPECT_FALSE(IsEngineNotice(u"qt.qpa.xcb", u"No suitable graphics backend found"));
    EXPECT_FALSE(IsEngineNotice(u"default", u"Quintavia: le impostazioni non sono state salvate"));
}

}  // namespace
}  // namespace quintavia

namespace quintavia {
namespace {

TEST(AboutText, NamesTheVersionsTheHardeningTheSandboxAndWhatWasBlocked) {
    AboutFacts facts{.programVersion = u"1.0"_s,
                     .qtVersion = u"6.4.2"_s,
                     .chromiumVersion = u"102.0.5005.177"_s,
                     .hardened = true,
                     .sandboxed = true,
                     .listsPresent = true,
                     .blocked = 42};
    EXPECT_EQ(AboutText(facts),
              u"Quintavia 1.0\n"
              u"Motore del browser: Qt WebEngine 6.4.2, Chromium 102.0.5005.177\n"
              u"Protezione rafforzata: attiva, perché il motore è anteriore a Chromium 120 "
              u"(JavaScript senza JIT né WebAssembly, senza WebGL, canvas accelerato e visore "
              u"PDF)\n"
              u"Sandbox delle pagine: attiva\n"
              u"Richieste bloccate (pubblicità, tracciamento, malware): 42"_s);
    facts.hardened = false;
    facts.sandboxed = false;
    facts.listsPresent = false;
    const QStringList lines = AboutText(facts).split(u'\n');
    EXPECT_EQ(lines.mid(2), (QStringList{u"Protezione rafforzata: non attiva"_s,
                                         u"Sandbox delle pagine: non attiva"_s,
                                         u"Blocco di pubblicità e tracciamento: non attivo, le "
                                         u"liste non sono installate"_s}));
}

}  // namespace
}  // namespace quintavia
