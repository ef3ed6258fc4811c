#pragma once

#include <QStringList>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/form1_logic.h"
#include "app/window_controls.h"
#include "browser/pane.h"

namespace quintavia::testing {

// Everything the fakes were asked to do, in order, so tests can check sequences across them.
using Journal = std::vector<std::string>;

class FakeDocument final : public PaneDocument {
  public:
    std::optional<QString> html;
    std::optional<QString> outerHtml() const override { return html; }
};

class FakePane final : public Pane {
  public:
    FakePane(int index, Journal& journal) : index_(index), journal_(journal) {}

    bool navigate(const QString& address) override {
        journal_.push_back("navigate " + std::to_string(index_) + " " + address.toStdString());
        navigations.push_back(address);
        return !failNavigate;
    }
    PaneDocument* document() override { return hasDocument ? &doc : nullptr; }

    // Rounds to whole pixels, as the real pane does.
    static float Round(float twips) { return static_cast<float>(std::lround(twips / 15.0f) * 15); }
    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    bool setLeft(float v) override { return left_ = Round(v), true; }
    bool setTop(float v) override { return top_ = Round(v), true; }
    bool setWidth(float v) override { return v >= 0 && (width_ = Round(v), true); }
    bool setHeight(float v) override { return v >= 0 && (height_ = Round(v), true); }

    FakeDocument doc;
    bool hasDocument = true;
    bool failNavigate = false;
    QStringList navigations;

  private:
    int index_;
    Journal& journal_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

class FakeControls final : public WindowControls {
  public:
    explicit FakeControls(Journal& journal) : journal_(journal) {}

    bool appendRegion(const QString& region) override { return regions.append(region), true; }
    QString regionText() const override { return regionBox; }
    bool setRegionText(const QString& text) override { return regionBox = text, true; }
    int regionListIndex() const override { return listIndex; }

    bool appendLogEntry(const QString& entry) override {
        if (failAppendLog) return false;
        journal_.push_back("log " + entry.toStdString());
        log.append(entry);
        return true;
    }
    bool setLogText(const QString& text) override { return logText = text, true; }

    int checkValue(CheckBox box) const override { return checks[static_cast<std::size_t>(box)]; }
    bool setCheckValue(CheckBox box, int value) override {
        if (value < 0 || value > 2) return false;
        checks[static_cast<std::size_t>(box)] = value;
        return true;
    }

    QString timerTag() const override { return tag; }
    void setTimerTag(const QString& t) override { tag = t; }
    std::optional<WindowState> windowState() const override { return state; }
    void setTitle(const QString& t) override { title = t; }

    QStringList regions;
    QString regionBox = QStringLiteral("Abruzzo");
    int listIndex = -1;
    QStringList log;
    QString logText;
    bool failAppendLog = false;
    std::array<int, 3> checks{};
    QString tag = QStringLiteral("300");
    std::optional<WindowState> state = WindowState::Normal;
    QString title;

  private:
    Journal& journal_;
};

// A window's worth of fakes wired to a Form1Logic.
struct FakeWindow {
    Journal journal;
    FakeControls controls{journal};
    std::array<FakePane, kSiteCount> panes{FakePane{0, journal}, FakePane{1, journal},
                                           FakePane{2, journal}, FakePane{3, journal}};
    Form1Logic logic{Form1Parts{controls, {&panes[0], &panes[1], &panes[2], &panes[3]}}};

    QStringList lastNavigations() const {
        QStringList out;
        for (const auto& pane : panes)
            out << (pane.navigations.isEmpty() ? QString() : pane.navigations.back());
        return out;
    }
};

}  // namespace quintavia::testing
