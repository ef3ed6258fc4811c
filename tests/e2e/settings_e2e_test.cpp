#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "harness.h"
#include "shell/window/tri_state_check_box.h"

namespace quintavia::e2e {
namespace {

// Taller and wider than any pane, so it can scroll both ways.
const QByteArray kLargePage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Lunga</title></head>"
    "<body style=\"margin:0\"><div style=\"width:4000px;height:6000px\">annunci</div>"
    "</body></html>\n";

class SettingsInTheWindow : public ::testing::Test {
  protected:
    void SetUp() override { Harness::instance().reset(); }
    void TearDown() override { Harness::instance().reset(); }

    static QString stored(const QString& section, const QString& key) {
        return Harness::instance().stored(section, key);
    }
    static TriState option(const MainWindow& window, const char* name) {
        return window.findChild<TriStateCheckBox*>(QString::fromLatin1(name))->value();
    }
};

bool ScrolledTo(QWebEnginePage* page, QPointF where) {
    return WaitFor([&] { return page->scrollPosition() == where; });
}

TEST_F(SettingsInTheWindow, SavedScrollPositionsComeBackAfterEveryPageRead) {
    Harness::instance().server().setHandler(
        [](const fixtures::Request&) { return fixtures::Response{.body = kLargePage}; });
    auto window = StartWindow();
    Captures captures(*window);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));

    QWebEnginePage* page0 = window->pane(0)->page();
    page0->runJavaScript("window.scrollTo(40, 300)");
    ASSERT_TRUE(ScrolledTo(page0, {40, 300}));
    window->findChild<QPushButton*>("saveScrollButton")->click();
    EXPECT_EQ(stored("Scroll", "0"), "300");
    EXPECT_EQ(stored("Left", "0"), "40");
    for (const char* key : {"1", "2", "3"}) {
        EXPECT_EQ(stored("Scroll", key), "0");
        EXPECT_EQ(stored("Left", key), "0");
    }

    // Ticked (unticked leaves the pane as it is: the controller's table says so), every page
    // read scrolls its pane back to the saved offsets.
    page0->runJavaScript("window.scrollTo(0, 0)");
    ASSERT_TRUE(ScrolledTo(page0, {0, 0}));
    window->findChild<QCheckBox*>("autoPositionOption")->click();
    ASSERT_EQ(option(*window, "autoPositionOption"), TriState::Ticked);
    const int before = captures.count(0);
    window->findChild<QPushButton*>("refreshButton")->click();
    ASSERT_TRUE(WaitFor([&] { return captures.count(0) > before; }));
    EXPECT_TRUE(ScrolledTo(page0, {40, 300}));
    EXPECT_EQ(window->pane(1)->page()->scrollPosition(), QPointF(0, 0));
}

// A file that cannot be read as settings is set aside whole, never written over: what it held
// can still be recovered by hand.
TEST_F(SettingsInTheWindow, AFileThatIsNoSettingsIsSetAsideAndTheWindowStartsAfresh) {
    const QString path = Harness::instance().settingsPath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const char bytes[] = "[Posizione]\n0=1\n1=Lazio\n[Scroll]\n0=120\n\xFF\xFE\0\0garbage";
    const QByteArray corrupt(bytes, sizeof bytes - 1);
    file.write(corrupt);
    file.close();

    auto window = StartWindow();
    EXPECT_EQ(window->findChild<QComboBox*>("regionBox")->currentText(), "Abruzzo");
    EXPECT_EQ(option(*window, "autoPositionOption"), TriState::Unticked);
    EXPECT_EQ(option(*window, "soundAlertOption"), TriState::Unticked);

    window->close();
    EXPECT_TRUE(window->settingsSaved());
    EXPECT_EQ(stored("Posizione", "1"), "Abruzzo");
    EXPECT_EQ(stored("Settaggio", "3"), "");
    QStringList asides =
        QDir(QFileInfo(path).path()).entryList({QStringLiteral("Quintavia.ini.*")}, QDir::Files);
    asides.removeAll(QStringLiteral("Quintavia.ini.lock"));
    ASSERT_EQ(asides.size(), 1) << asides.join(' ').toStdString();
    QFile aside(QFileInfo(path).path() + '/' + asides.front());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), corrupt);
}

// The sites cannot be reached at start-up: what was stored is shown all the same.
TEST_F(SettingsInTheWindow, StartUpShowsWhatWasStoredEvenWhenTheFirstPagesFail) {
    Harness::instance().server().setHandler(
        [](const fixtures::Request&) { return fixtures::Response{.refuse = true}; });
    ASSERT_TRUE(Harness::instance().store().write(
        {{"Posizione", "0", "1"}, {"Posizione", "1", "Lazio"}, {"Posizione", "2", "2"}}));
    auto window = StartWindow();
    Captures captures(*window);
    ASSERT_TRUE(WaitFor([&] { return captures.eachAtLeast(1); }));
    EXPECT_EQ(window->findChild<QComboBox*>("regionBox")->currentText(), "Lazio");
    EXPECT_EQ(option(*window, "autoPositionOption"), TriState::Ticked);
    EXPECT_EQ(option(*window, "soundAlertOption"), TriState::Greyed);
    EXPECT_EQ(LogEntries(*window), QStringList{});
}

TEST_F(SettingsInTheWindow, TheShutdownRunsOnceHoweverOftenTheWindowIsClosed) {
    ASSERT_TRUE(Harness::instance().store().write({{"Posizione", "2", "2"}}));
    auto window = StartWindow();
    auto* regions = window->findChild<QComboBox*>("regionBox");
    EXPECT_EQ(option(*window, "soundAlertOption"), TriState::Greyed);
    regions->setEditText("Roma e provincia");
    window->close();
    EXPECT_EQ(stored("Posizione", "1"), "Roma e provincia");
    EXPECT_EQ(stored("Posizione", "2"), "2");

    // Later closes and a quit write nothing more.
    ASSERT_TRUE(Harness::instance().store().write({{"Posizione", "1", "edited since"}}));
    regions->setEditText("Molise");
    window->close();
    window->shutDown();
    EXPECT_EQ(stored("Posizione", "1"), "edited since");
}

}  // namespace
}  // namespace quintavia::e2e
