#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "app/check_box.h"
#include "app/form1_logic.h"
#include "app/window_controls.h"
#include "browser/web_pane.h"
#include "popup/qt_beep.h"
#include "search/countdown.h"
#include "watch/qt_sound.h"
#include "settings/user_settings_store.h"

namespace quintavia {

// The main window: builds the controls as designed and forwards their events to the core.
class Form1 final : public QWidget, public WindowControls {
    Q_OBJECT
  public:
    static constexpr auto kDesignTitle = quintavia::kDesignTitle;

    // `beep` stands in for the platform's alert sound, for tests that listen for it.
    explicit Form1(QWidget* parent = nullptr, Beep* beep = nullptr);
    ~Form1() override;

    // The start-up sequence; runs before the window is first shown.
    void startUp();

    // The shutdown sequence, run once whichever way the program ends (closing the window, the
    // session ending, a signal); later calls do nothing. A failed write is reported on
    // standard error and leaves settingsSaved() false.
    void shutDown();
    bool settingsSaved() const { return settingsSaved_; }

    Form1Logic& logic() { return *logic_; }
    WebPane* pane(int site) const { return WebBrowser1.at(static_cast<std::size_t>(site)); }

    bool appendRegion(const QString& region) override;
    QString regionText() const override;
    bool setRegionText(const QString& text) override;
    int regionListIndex() const override;
    bool appendLogEntry(const QString& entry) override;
    bool setLogText(const QString& text) override;
    int checkValue(CheckBox box) const override;
    bool setCheckValue(CheckBox box, int value) override;
    QString timerTag() const override { return timerTag_; }
    void setTimerTag(const QString& tag) override { timerTag_ = tag; }
    std::optional<WindowState> windowState() const override;
    void setTitle(const QString& title) override { setWindowTitle(title); }
    float clientWidth() const override;
    float clientHeight() const override;
    bool setLabelTop(int index, float twips) override;
    bool setLabelLeft(int index, float twips) override;
    bool setLabelVisible(int index, bool visible) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    CheckBox3* check(CheckBox box) const;
    QLineEdit* label(int index) const;

    QComboBox* Combo1;
    QPushButton* Command1;
    QComboBox* Combo2;
    CheckBox3* Check2;
    CheckBox3* Check1;
    QPushButton* Command2;
    CheckBox3* Check3;
    std::array<QLineEdit*, kSiteCount> Text1{};
    std::array<WebPane*, kSiteCount> WebBrowser1{};
    QTimer* Timer1;
    QString timerTag_ = QStringLiteral("300");
    QtBeep beep_;
    QtSound sound_{beep_};

    std::unique_ptr<UserSettingsStore> store_;
    bool shutDownDone_ = false;
    bool settingsSaved_ = true;
    std::unique_ptr<Form1Logic> logic_;
};

}  // namespace quintavia
