#pragma once

#include <QStringList>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/form1_logic.h"
#include "app/window_controls.h"
#include "browser/pane.h"
#include "browser/scroll_offset.h"

namespace quintavia::testing {

// Everything the fakes were asked to do, in order, so tests can check sequences across them.
using Journal = std::vector<std::string>;

class FakeDocument final : public PaneDocument {
  public:
    std::optional<QString> html;
    std::optional<QString> outerHtml() const override { return html; }

    std::optional<bool> event = false;
    std::optional<bool> focused = false;
    std::optional<QString> href;
    std::optional<QString> protocolLong;
    std::optional<bool> windowHasEvent() const override { return event; }
    std::optional<bool> hasActiveElement() const override { return focused; }
    std::optional<QString> activeElementHref() const override { return href; }
    std::optional<QString> activeElementProtocolLong() const override { return protocolLong; }

    // The offsets it reports (nullopt: the read fails), and every offset it was given.
    std::optional<double> top = 0.0, left = 0.0;
    QStringList scrolls;  // "top 120", "left 0"; refused ones too
    std::optional<double> scrollTop() const override { return top; }
    std::optional<double> scrollLeft() const override { return left; }
    bool setScrollTop(const QString& offset) override { return scroll("top", offset, top); }
    bool setScrollLeft(const QString& offset) override { return scroll("left", offset, left); }

  private:
    bool scroll(const char* which, const QString& offset, std::optional<double>& target) {
        scrolls << QString::fromLatin1(which) + u' ' + offset;
        const std::optional<double> value = ScrollOffsetFromText(offset);
        if (value) target = value;
        return value.has_value();
    }
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
    bool setWidth(float v) override { return v >= 0 && !refuseWidth && (width_ = Round(v), true); }
    bool setHeight(float v) override { return v >= 0 && (height_ = Round(v), true); }

    FakeDocument doc;
    bool hasDocument = true;
    bool failNavigate = false;
    bool refuseWidth = false;
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

    float clientWidth() const override { return clientW; }
    float clientHeight() const override { return clientH; }
    bool setLabelTop(int i, float v) override {
        return label(i, [v](Label& l) { l.top = v; });
    }
    bool setLabelLeft(int i, float v) override {
        return label(i, [v](Label& l) { l.left = v; });
    }
    bool setLabelVisible(int i, bool v) override {
        return label(i, [v](Label& l) { l.visible = v; });
    }

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

    struct Label {
        float top = 0, left = 0;
        bool visible = false;
        bool refuse = false;
    };
    float clientW = 0, clientH = 0;
    std::array<Label, 4> labels{};

  private:
    template <typename Change>
    bool label(int i, Change change) {
        if (i < 0 || i >= 4 || labels[static_cast<std::size_t>(i)].refuse) return false;
        change(labels[static_cast<std::size_t>(i)]);
        return true;
    }

    Journal& journal_;
};

// An in-memory store that journals every write and can be told to fail.
class FakeStore final : public SettingsStore {
  public:
    explicit FakeStore(Journal& journal) : journal_(journal) {}

    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override {
        const auto found = values.find({app, section, key});
        return found == values.end() ? defaultValue : found->second;
    }
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override {
        if (failWritesFrom >= 0 && writes >= failWritesFrom) return false;
        ++writes;
        journal_.push_back("save " + section.toStdString() + "/" + key.toStdString() + "=" +
                           value.toStdString());
        values[{app, section, key}] = value;
        return true;
    }

    std::map<std::tuple<QString, QString, QString>, QString> values;
    int writes = 0;
    int failWritesFrom = -1;  // the index of the first write to fail; -1: none fails

  private:
    Journal& journal_;
};

class FakeSound final : public Sound {
  public:
    explicit FakeSound(Journal& journal) : journal_(journal) {}
    void play(const QString& path) override { journal_.push_back("play " + path.toStdString()); }

  private:
    Journal& journal_;
};

class FakeBeep final : public Beep {
  public:
    explicit FakeBeep(Journal& journal) : journal_(journal) {}
    void beep() override { journal_.push_back("beep"); }

  private:
    Journal& journal_;
};

// A window's worth of fakes wired to a Form1Logic.
struct FakeWindow {
    Journal journal;
    FakeControls controls{journal};
    std::array<FakePane, kSiteCount> panes{FakePane{0, journal}, FakePane{1, journal},
                                           FakePane{2, journal}, FakePane{3, journal}};
    FakeStore store{journal};
    FakeSound sound{journal};
    FakeBeep beep{journal};
    Form1Logic logic{Form1Parts{controls,
                                {&panes[0], &panes[1], &panes[2], &panes[3]},
                                &store,
                                &sound,
                                &beep,
                                QStringLiteral("/opt/quintavia")}};

    QStringList lastNavigations() const {
        QStringList out;
        for (const auto& pane : panes)
            out << (pane.navigations.isEmpty() ? QString() : pane.navigations.back());
        return out;
    }
};

}  // namespace quintavia::testing
