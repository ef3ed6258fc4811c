#include "popup/new_window_filter.h"

#include <gtest/gtest.h>

#include "browser/protocol_names.h"
#include "fakes.h"

namespace quintavia::testing {
namespace {

constexpr auto kUnknown = "Unknown Protocol";
constexpr auto kHttp = "HyperText Transfer Protocol";
constexpr std::nullopt_t kFails = std::nullopt;

struct Row {
    const char* situation;
    NewWindowFacts facts;
    bool stop, beep;
};

void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        const NewWindowVerdict verdict = FilterNewWindow(row.facts);
        EXPECT_EQ(verdict.stop, row.stop) << row.situation;
        EXPECT_EQ(verdict.beep, row.beep) << row.situation;
    }
}

TEST(FilterNewWindow, Outcomes) {
    ExpectRows({
        {"no document", {false, false, true, "http://a/", kHttp}, true, true},
        {"event object", {true, true, true, "http://a/", kUnknown}, false, false},
        {"event object, nothing focused", {true, true, false, {}, {}}, false, false},
        {"no event, nothing focused", {true, false, false, {}, {}}, true, false},
        {"no event, empty link", {true, false, true, "", kHttp}, true, true},
        {"no event, unknown protocol", {true, false, true, "foo:bar", kUnknown}, true, true},
        {"no event, known protocol", {true, false, true, "http://a/", kHttp}, true, false},
        {"no event, protocol differs only in case",
         {true, false, true, "x:y", "unknown protocol"},
         true,
         false},
    });
}

TEST(FilterNewWindow, FailedReadsGoOnAsTheTableSays) {
    ExpectRows({
        {"document fails, event there", {kFails, true, false, {}, {}}, false, false},
        {"document fails, no event", {kFails, false, false, {}, {}}, true, false},
        {"document and event fail", {kFails, kFails, false, {}, {}}, false, false},
        {"event fails", {true, kFails, false, {}, {}}, false, false},
        {"focus fails", {true, false, kFails, "http://a/", kUnknown}, true, false},
        {"href fails", {true, false, true, kFails, kHttp}, true, true},
        {"protocol fails", {true, false, true, "http://a/", kFails}, true, true},
        {"everything fails", {}, false, false},
    });
}

// Hears the beep and notes whether the window had already been stopped by then.
class FlagAtBeep final : public Beep {
  public:
    explicit FlagAtBeep(const bool& cancel) : cancel_(cancel) {}
    void beep() override { heard.push_back(cancel_); }
    std::vector<bool> heard;

  private:
    const bool& cancel_;
};

TEST(FilterNewWindow, TheHandlerReadsThePaneStopsFirstAndNeverUnstops) {
    FakeWindow w;
    bool cancel = false;
    FlagAtBeep beep(cancel);
    Form1Logic logic(Form1Parts{w.controls,
                                {&w.panes[0], &w.panes[1], &w.panes[2], &w.panes[3]},
                                &w.store,
                                &w.sound,
                                &beep,
                                {}});

    w.panes[2].hasDocument = false;
    logic.onNewWindow(2, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(beep.heard, std::vector<bool>{true});

    // An allowed window leaves the flag as it came, even when it came set.
    w.panes[1].doc.event = true;
    logic.onNewWindow(1, cancel);
    EXPECT_TRUE(cancel);
    cancel = false;
    logic.onNewWindow(1, cancel);
    EXPECT_FALSE(cancel);

    // A focused link whose address reads back empty, then one of an unknown protocol.
    FakeDocument& doc = w.panes[3].doc;
    doc.focused = true;
    doc.href = "";
    doc.protocolLong = kHttp;
    logic.onNewWindow(3, cancel);
    doc.href = "foo:bar";
    doc.protocolLong = ProtocolLongName("foo:");
    cancel = false;
    logic.onNewWindow(3, cancel);
    EXPECT_TRUE(cancel);
    doc.href = "https://a/";
    doc.protocolLong = ProtocolLongName("https:");
    cancel = false;
    logic.onNewWindow(3, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(beep.heard, (std::vector<bool>{true, true, true}));

    // A site index outside 0 to 3 reads nothing: both first reads fail and the window opens.
    cancel = false;
    logic.onNewWindow(4, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(beep.heard.size(), 3u);
}

TEST(ProtocolLongName, NamesTheSchemesTheEngineHandles) {
    for (const char* scheme : {"http", "https:", "FILE:", "ftp", "mailto:", "data:", "about:"}) {
        EXPECT_NE(ProtocolLongName(scheme), kUnknown) << scheme;
        EXPECT_FALSE(ProtocolLongName(scheme).isEmpty()) << scheme;
    }
    EXPECT_EQ(ProtocolLongName("http:"), kHttp);
    EXPECT_NE(ProtocolLongName("https:"), ProtocolLongName("http:"));
    for (const char* scheme : {"foo:", ":", "", "httpx:", "ht"})
        EXPECT_EQ(ProtocolLongName(scheme), kUnknown) << scheme;
}

}  // namespace
}  // namespace quintavia::testing
