#include "cli/ComputeJson.h"
#include "cli/Json.h"
#include "model/Project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

using namespace corvalt::cli;

TEST(Json, StringsAreEscapedAndAlwaysValidUtf8) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"Drake", R"("Drake")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\data", R"("C:\\data")"},
        {"a\nb\tc\rd", R"("a\nb\tc\rd")"},
        {std::string("nul\0x", 5), R"("nul\u0000x")"},
        {"\x01\x1f\x7f\b\f", R"("\u0001\u001f\u007f\b\f")"},
        {"/ and '", R"("/ and '")"},
        {"Müller € 😀", "\"Müller € 😀\""}, // valid UTF-8 passes through
        {"M\xFCller", "\"Müller\""},      // a Windows-1252 text from an older file
        {"\x80 5", "\"€ 5\""},
        {"\x93quoted\x94", "\"\u201Cquoted\u201D\""},
        {"\x81", "\"\uFFFD\""},                               // no character in Windows-1252
        {"\xC0\x80", "\"\u00C0\u20AC\""},                     // an overlong NUL is two stray bytes
        {"\xED\xA0\x80", "\"\u00ED\u00A0\u20AC\""},           // a surrogate is not UTF-8
        {"\xE2\x82", "\"\u00E2\u201A\""},                     // a character cut short
        {"\xF4\x90\x80\x80", "\"\u00F4\uFFFD\u20AC\u20AC\""}, // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(JsonString(c.text), c.expected);
    }
}

TEST(Json, NumbersAreShortestRoundTripAndNeverNaN) {
    EXPECT_EQ(JsonNumber(230.0f), "230");
    EXPECT_EQ(JsonNumber(1.05f), "1.05"); // the float, not its double widening 1.0499999523
    EXPECT_EQ(JsonNumber(28.143f), "28.143");
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(-0.5f), "-0.5");
    EXPECT_EQ(JsonNumber(1.2e-12), "1.2e-12");
    EXPECT_EQ(JsonNumber(std::nanf("")), "null");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(JsonNumber(-std::numeric_limits<float>::infinity()), "null");
}

TEST(Json, WriterNestsAndSeparatesValues) {
    std::ostringstream out;
    TJsonWriter json(out);
    json.BeginObject();
    json.Key("file").String("a.INI");
    json.Key("empty").BeginArray().EndArray();
    json.Key("nothing").BeginObject().EndObject();
    json.Key("list").BeginArray();
    json.BeginObject(TJsonLayout::Inline).Key("x").Integer(1).Key("ok").Bool(true).EndObject();
    json.BeginObject(TJsonLayout::Inline).Key("x").Number(2.5f).Key("v").Null().EndObject();
    json.EndArray();
    json.Key("row").BeginArray(TJsonLayout::Inline).Integer(1).Integer(2).EndArray();
    json.EndObject();
    json.Finish();
    EXPECT_EQ(out.str(), "{\n"
                         "  \"file\": \"a.INI\",\n"
                         "  \"empty\": [],\n"
                         "  \"nothing\": {},\n"
                         "  \"list\": [\n"
                         "    {\"x\": 1, \"ok\": true},\n"
                         "    {\"x\": 2.5, \"v\": null}\n"
                         "  ],\n"
                         "  \"row\": [1, 2]\n"
                         "}\n");
}

TEST(Json, PlainTextNeedsNoEscaping) {
    static_assert(IsPlainJsonText("e_max"));
    static_assert(IsPlainJsonText("site: altitude (m)"));
    for (const std::string& text :
         {std::string("say \"hi\""), std::string("C:\\data"), std::string("tab\t"),
          std::string("\x7f"), std::string("M\xc3\xbcller")}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(IsPlainJsonText(text));
    }
}

TEST(Json, KeysKnownAtRunTimeAreEscapedAndMissingNumbersAreNull) {
    std::ostringstream out;
    TJsonWriter json(out);
    const std::string key = "a \"quoted\" key";
    json.BeginObject(TJsonLayout::Inline);
    json.EscapedKey(key).Number(std::optional<float>(0.25f));
    json.Key("none").Number(std::optional<float>());
    json.Key("nan").Number(std::nanf(""));
    json.Key("large").Integer(-9223372036854775807LL - 1);
    json.EndObject();
    json.Finish();
    EXPECT_EQ(out.str(), "{\"a \\\"quoted\\\" key\": 0.25, \"none\": null, \"nan\": null, "
                         "\"large\": -9223372036854775808}\n");
}

namespace {

// A stream buffer that keeps what it is given and counts the pieces.
class TCountingBuffer : public std::streambuf {
  public:
    std::string Text;
    int Pieces = 0;

  protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        Text.append(s, static_cast<std::size_t>(n));
        ++Pieces;
        return n;
    }
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) Text.push_back(static_cast<char>(c));
        ++Pieces;
        return c;
    }
};

} // namespace

TEST(Json, LongDocumentsReachTheStreamWholeAndInLargePieces) {
    TCountingBuffer buffer;
    std::ostream out(&buffer);
    // 20,000 members of 15 to 19 characters (about 340 kB), with a string of
    // 100,000 characters in the middle, longer than the writer's buffer.
    const std::string longText(100000, 'x');
    std::string expected = "[";
    {
        TJsonWriter json(out);
        json.BeginArray(TJsonLayout::Inline);
        for (int i = 0; i < 20000; ++i) {
            if (i == 10000) {
                json.String(longText);
                expected += "\"" + longText + "\", ";
            }
            json.BeginObject(TJsonLayout::Inline).Key("k").Integer(i).EndObject();
            expected += "{\"k\": " + std::to_string(i) + "}" + (i + 1 < 20000 ? ", " : "");
        }
        json.EndArray();
        json.Finish();
    }
    expected += "]\n";
    EXPECT_EQ(buffer.Text, expected);
    // About 440 kB in pieces of 64 KiB, and the long string on its own.
    EXPECT_LE(buffer.Pieces, 12);
}

TEST(Json, WhatWasWrittenReachesTheStreamWhenTheWriterEndsEarly) {
    std::ostringstream out;
    {
        TJsonWriter json(out);
        json.BeginObject().Key("a").String("b");
        // An exception here would leave the document unfinished.
    }
    EXPECT_EQ(out.str(), "{\n  \"a\": \"b\"");
}

// Elements written in runs side by side read as if written one by one: every
// separator and indentation in place, whether the count fills its runs, falls
// short of two runs or spans several rounds of runs.
TEST(Json, ElementsWrittenSideBySideReadAsWrittenOneByOne) {
    constexpr std::size_t kRun = 3;
    for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{5}, std::size_t{6},
                                    std::size_t{7}, std::size_t{25}, std::size_t{200}}) {
        SCOPED_TRACE(count);
        std::ostringstream out;
        TJsonWriter json(out);
        json.BeginObject().Key("results").BeginArray();
        std::mutex runsLock;
        std::vector<std::pair<std::size_t, std::size_t>> runs; // (first, n) of each call
        WriteElementsSideBySide(json, count, kRun,
                                [&](TJsonWriter& run, std::size_t first, std::size_t n) {
                                    {
                                        const std::lock_guard lock(runsLock);
                                        runs.emplace_back(first, n);
                                    }
                                    for (std::size_t i = first; i < first + n; ++i)
                                        run.BeginObject(TJsonLayout::Inline)
                                            .Key("k")
                                            .Integer(static_cast<long long>(i))
                                            .EndObject();
                                });
        json.EndArray().Key("after").Integer(1).EndObject();
        json.Finish();

        std::string expected = "{\n  \"results\": [";
        for (std::size_t i = 0; i < count; ++i)
            expected += std::string(i > 0 ? "," : "") + "\n    {\"k\": " + std::to_string(i) + "}";
        expected += count > 0 ? "\n  ],\n" : "],\n";
        expected += "  \"after\": 1\n}\n";
        EXPECT_EQ(out.str(), expected);

        // Every element in exactly one run; side by side, the runs are of one
        // length from kRun to twice that, the last alone shorter.
        std::sort(runs.begin(), runs.end());
        std::size_t next = 0;
        for (const auto& [first, n] : runs) {
            EXPECT_EQ(first, next);
            next = first + n;
            if (count < 2 * kRun) continue;
            EXPECT_LE(n, runs.front().second);
            EXPECT_GE(runs.front().second, kRun);
            EXPECT_LE(runs.front().second, 2 * kRun);
        }
        EXPECT_EQ(next, count);
        for (std::size_t r = 0; count >= 2 * kRun && r + 1 < runs.size(); ++r)
            EXPECT_EQ(runs[r].second, runs.front().second) << r;
    }
}

// The records of compute's output are laid out from fixed pieces rather than
// member by member: their text, written out by hand, for a record holding
// every kind of value (missing, not finite, negative zero, a whole number
// above 2^24, the extremes of the notations) and for an empty one.
TEST(Json, ComputeRecordsReadAsWrittenMemberByMember) {
    corvalt::TEmfProject project;
    project.Scenarios.Add(std::make_unique<corvalt::TScenario>(project));
    corvalt::TCalcResult full;
    full.Dist = -1.5f;
    full.DistM = -0.4572f;
    full.IsMarked = 1;
    full.EMax = 0.25f;
    full.AnRainL50 = std::nanf("");
    full.AnFairL50 = -0.0f;
    full.RiRain = 1e-5f;
    full.RiFair = 123456789.0f;
    full.TviRain = std::numeric_limits<float>::max();
    full.EResultant = 0.1f;
    full.BResultant = 7.0f;
    corvalt::TCalcResult empty;
    empty.Dist = 2.0f;
    project.Scenarios[0].Results = {full, empty};
    std::ostringstream out;
    WriteComputeJson(out, project);
    const std::string text = out.str();
    const std::string expected =
        "\n        {\"dist\": -1.5, \"dist_m\": -0.4572, \"marked\": true, \"e_max\": 0.25, "
        "\"b_max\": null, \"an_rain_l50\": null, \"an_fair_l50\": -0, \"ri_rain\": 1e-05, "
        "\"ri_fair\": 123456792, \"tvi_rain\": 3.4028235e+38, \"ozone\": null, "
        "\"e_resultant\": 0.1, \"b_resultant\": 7},"
        "\n        {\"dist\": 2, \"dist_m\": 0, \"marked\": false, \"e_max\": null, "
        "\"b_max\": null, \"an_rain_l50\": null, \"an_fair_l50\": null, \"ri_rain\": null, "
        "\"ri_fair\": null, \"tvi_rain\": null, \"ozone\": null, \"e_resultant\": null, "
        "\"b_resultant\": null}\n      ]";
    EXPECT_NE(text.find("\"results\": [" + expected), std::string::npos) << text;
}
