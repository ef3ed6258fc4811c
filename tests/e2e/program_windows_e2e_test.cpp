#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "harness.h"
#include "program_run.h"
#include "x_display.h"

namespace quintavia::e2e {
namespace {

using namespace Qt::Literals::StringLiterals;

constexpr xcb_keysym_t kKeyL = 0x006c;

// The program itself on an X display with a window manager: with "Annunci trovati" open,
// closing the main window from its title bar ends the process, and well.
TEST(ProgramWindows, ClosingTheMainWindowWithTheFoundListingsOpenEndsTheProgram) {
    if (QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "needs an X display with a window manager (tests/run_in_xvfb.sh)";
    XDisplay display;
    ASSERT_TRUE(display.connected());
    Harness::instance().reset();
    QTemporaryDir home;
    ProgramRun run(Harness::instance().configDir(), home.path());
    run.setEnvironment(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.waitForTheFirstPages()) << run.standardError().toStdString();
    const auto process = static_cast<quint32>(run.processId());

    std::optional<xcb_window_t> main;
    ASSERT_TRUE(
        WaitFor([&] { return (main = display.find(process, u"Quintavia"_s)).has_value(); }, 30000));
    display.activate(*main);
    ASSERT_TRUE(WaitFor([&] { return display.isActive(*main); }));
    ASSERT_TRUE(display.pressKey(*main, kKeyL, XCB_MOD_MASK_CONTROL));
    ASSERT_TRUE(
        WaitFor([&] { return display.find(process, u"Annunci trovati"_s).has_value(); }, 30000))
        << run.standardError().toStdString();

    display.close(*main);
    ASSERT_TRUE(run.waitForExit());
    EXPECT_TRUE(run.exitedNormally());
    EXPECT_EQ(run.exitCode(), 0) << run.standardError().toStdString();
}

}  // namespace
}  // namespace quintavia::e2e
