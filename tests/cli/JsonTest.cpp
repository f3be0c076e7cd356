#include "cli/Json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

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
