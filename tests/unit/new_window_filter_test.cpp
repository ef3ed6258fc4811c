#include "core/engine/new_window_filter.h"

#include <gtest/gtest.h>

#include "core/engine/protocol_names.h"

namespace quintavia {
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

TEST(WindowRequestGate, HearsOneRequestASecond) {
    WindowRequestGate gate;
    EXPECT_TRUE(gate.isOpen(0));
    EXPECT_TRUE(gate.admit(5000));
    // The rest of that second is stopped unheard, and does not hold the gate shut for longer.
    for (qint64 t : {5000, 5001, 5500, 5999}) {
        EXPECT_FALSE(gate.isOpen(t)) << t;
        EXPECT_FALSE(gate.admit(t)) << t;
    }
    EXPECT_TRUE(gate.isOpen(6000));
    EXPECT_TRUE(gate.admit(6000));
    EXPECT_FALSE(gate.admit(6999));
    // A long quiet spell opens it once, not once per second that passed.
    EXPECT_TRUE(gate.admit(60000));
    EXPECT_FALSE(gate.admit(60001));
    // The first request is heard at any time the clock shows.
    WindowRequestGate early;
    EXPECT_TRUE(early.admit(0));
    EXPECT_FALSE(early.admit(999));
}

}  // namespace
}  // namespace quintavia
