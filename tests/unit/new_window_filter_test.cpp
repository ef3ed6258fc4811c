#include "core/new_window_filter.h"

#include <gtest/gtest.h>

#include "core/protocol_names.h"

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

}  // namespace
}  // namespace quintavia
