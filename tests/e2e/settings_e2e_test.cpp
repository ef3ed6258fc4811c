#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include "bench.h"
#include "downloads.h"
#include "settings/ini_file_store.h"

namespace quintavia::e2e {
namespace {

// Taller and wider than any pane, so it can scroll both ways.
const QByteArray kLargePage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Lunga</title></head>"
    "<body style=\"margin:0\"><div style=\"width:4000px;height:6000px\">annunci</div>"
    "</body></html>\n";

class SettingsInTheWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        Bench::instance().reset();
        QDir(folder()).removeRecursively();
    }
    void TearDown() override { QDir(folder()).removeRecursively(); }

    static QString folder() { return Bench::instance().configDir() + "/Quintavia"; }
    static QString stored(const QString& section, const QString& key) {
        return IniFileStore(Bench::instance().configDir())
            .GetSetting(kAppName, section, key, "<absent>");
    }
    static void store(const QString& section, const QString& key, const QString& value) {
        ASSERT_TRUE(
            IniFileStore(Bench::instance().configDir()).SaveSetting(kAppName, section, key, value));
    }
};

bool ScrolledTo(QWebEnginePage* page, QPointF where) {
    return WaitUntil([&] { return page->scrollPosition() == where; });
}

TEST_F(SettingsInTheWindow, SavedScrollPositionsComeBackAfterEveryDownload) {
    Bench::instance().server().setHandler(
        [](const fixtures::Request&) { return fixtures::Response{.body = kLargePage}; });
    auto form = StartWindow();
    DownloadCounter downloads(*form);
    ASSERT_TRUE(WaitUntil([&] { return downloads.eachAtLeast(1); }));

    QWebEnginePage* page0 = form->pane(0)->page();
    page0->runJavaScript("window.scrollTo(40, 300)");
    ASSERT_TRUE(ScrolledTo(page0, {40, 300}));
    form->findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(stored("Scroll", "0"), "300");
    EXPECT_EQ(stored("Left", "0"), "40");
    for (const char* key : {"1", "2", "3"}) {
        EXPECT_EQ(stored("Scroll", key), "0");
        EXPECT_EQ(stored("Left", key), "0");
    }

    // Unticked: a new download leaves the page where it is.
    page0->runJavaScript("window.scrollTo(0, 0)");
    ASSERT_TRUE(ScrolledTo(page0, {0, 0}));
    emit form->pane(0)->downloadComplete(0);
    EXPECT_FALSE(WaitUntil([&] { return page0->scrollPosition() != QPointF(0, 0); }, 1000));

    // Ticked: every finished download scrolls its pane back to the saved offsets.
    form->findChild<QCheckBox*>("Check1")->click();
    ASSERT_EQ(form->checkValue(CheckBox::Check1), kTicked);
    const int before = downloads.count(0);
    form->findChild<QPushButton*>("Command1")->click();
    ASSERT_TRUE(WaitUntil([&] { return downloads.count(0) > before; }));
    EXPECT_TRUE(ScrolledTo(page0, {40, 300}));
    EXPECT_EQ(form->pane(1)->page()->scrollPosition(), QPointF(0, 0));
}

TEST_F(SettingsInTheWindow, ACorruptFileStartsFromTheDesignState) {
    QDir().mkpath(folder());
    QFile file(folder() + "/Quintavia.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const char corrupt[] = "[Posizione]\n0=1\n1=Lazio\n\xFF\xFE\0\0garbage";
    file.write(corrupt, sizeof corrupt - 1);
    file.close();

    auto form = StartWindow();
    EXPECT_EQ(form->findChild<QComboBox*>("Combo1")->currentText(), "Abruzzo");
    EXPECT_EQ(form->checkValue(CheckBox::Check1), kUnticked);
    EXPECT_EQ(form->checkValue(CheckBox::Check2), kUnticked);

    // Closing replaces it with a sound file of the seven values.
    form->close();
    EXPECT_TRUE(form->settingsSaved());
    EXPECT_EQ(stored("Posizione", "1"), "Abruzzo");
    EXPECT_EQ(stored("Settaggio", "3"), "");
}

TEST_F(SettingsInTheWindow, TheShutdownRunsOnceHoweverOftenTheWindowIsClosed) {
    store("Posizione", "2", "2");
    auto form = StartWindow();
    auto* regions = form->findChild<QComboBox*>("Combo1");
    EXPECT_EQ(form->checkValue(CheckBox::Check2), kGreyed);
    regions->setEditText("Roma e provincia");
    form->close();
    EXPECT_EQ(stored("Posizione", "1"), "Roma e provincia");
    EXPECT_EQ(stored("Posizione", "2"), "2");

    // Later closes and a quit write nothing more.
    store("Posizione", "1", "edited since");
    regions->setEditText("Molise");
    form->close();
    form->shutDown();
    EXPECT_EQ(stored("Posizione", "1"), "edited since");
}

}  // namespace
}  // namespace quintavia::e2e
