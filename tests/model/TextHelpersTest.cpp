#include "model/TextHelpers.h"

#include <gtest/gtest.h>

using namespace corvalt;

TEST(TextHelpers, TrimRemovesControlCharactersAndBlanksOnly) {
    EXPECT_EQ(TrimLeft(" \t\r\n a b "), "a b ");
    EXPECT_EQ(TrimRight(" a b \t\r\n"), " a b");
    EXPECT_EQ(Trim("\x01 x \x1f"), "x");
    // Bytes above 127 are text, not blanks, even where char is signed.
    EXPECT_EQ(Trim("\xe9 "), "\xe9");
    EXPECT_EQ(Trim("   "), "");
}

TEST(TextHelpers, CountFieldsHonoursQuotesAndBlankRuns) {
    EXPECT_EQ(CountFields("", ';'), 1);
    EXPECT_EQ(CountFields("a;;b", ';'), 3);
    EXPECT_EQ(CountFields("'a;b';c", ';'), 2);
    EXPECT_EQ(CountFields("x\"a;b\";c", ';'), 2); // a quote opens anywhere
    EXPECT_EQ(CountFields("  x  y", ' '), 2);
    EXPECT_EQ(CountFields("Name;Street 1;Town", ';'), 3);
}

TEST(TextHelpers, GetFieldSplitsAndUnquotes) {
    struct Case {
        const char* text;
        int n;
        char delimiter;
        const char* expected;
    };
    const Case cases[] = {
        {"0=|ACSR, 795|,28.143,900", 2, '=', "ACSR, 795,28.143,900"},
        {"0=|ACSR, 795|,28.143,900", 1, '=', "0"},
        {"a;;b", 1, ';', "a"},
        {"a;;b", 2, ';', ""},
        {"a;;b", 3, ';', "b"},
        {"a;;b", 4, ';', ""},
        {" x  y", 1, ' ', "x"},
        {" x  y", 2, ' ', "y"},
        {"'a;b';c", 1, ';', "a;b"},
        {"'a;b';c", 2, ';', "c"},
        {"  \"q,r\" ,s", 1, ',', "q,r"},       // a quote after blanks still opens
        {"ab\"c,d", 1, ',', "ab\"c"},          // a quote inside a field is text
        {"|Drake|,28.143,|x|y", 3, ',', "xy"}, // a used bar is dropped later too
        {"|A=B|,1.5,2", 1, ',', "A=B"},
        {"Drake=28.143,907", 2, '=', "28.143,907"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SCOPED_TRACE(c.n);
        EXPECT_EQ(GetField(c.text, c.n, c.delimiter), c.expected);
    }
}

TEST(TextHelpers, SemicolonsBecomeTabsAndMaximaPreferTheFirst) {
    EXPECT_EQ(SemicolonsToTabs("a;b;;c"), "a\tb\t\tc");
    EXPECT_EQ(MaxInt(3, 7), 7);
    EXPECT_EQ(MaxInt(-1, -5), -1);
    EXPECT_EQ(MaxFloat(2.0f, 2.0f), 2.0f);
    EXPECT_EQ(MaxFloat(1.0f, 1.5f), 1.5f);
}

TEST(TextHelpers, ToValidUtf8KeepsUtf8AndReadsOtherBytesAsWindows1252) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"Drake 795", "Drake 795"},
        {"Müller € 😀", "Müller € 😀"},
        {"M\xFCller", "Müller"},
        {"\x93quoted\x94", "\u201Cquoted\u201D"},
        {"\x81", "\uFFFD"},                     // no character in Windows-1252
        {"\xC0\x80", "\u00C0\u20AC"},           // an overlong NUL is two stray bytes
        {"\xED\xA0\x80", "\u00ED\u00A0\u20AC"}, // a surrogate is not UTF-8
        {"\xE2\x82", "\u00E2\u201A"},           // a character cut short
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(ToValidUtf8(c.text), c.expected);
    }
}

TEST(TextHelpers, PrintableTextEscapesWhatCouldBreakALineOrReachTheTerminal) {
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"plain", "report.pdf", "report.pdf"},
        {"newline", "a\nb", "a\\x0Ab"},
        {"carriage return and tab", "a\r\tb", "a\\x0D\\x09b"},
        {"escape sequence", "\x1b[31mred", "\\x1B[31mred"},
        {"NUL and DEL", std::string("a\0b\x7f", 4), "a\\x00b\\x7F"},
        {"UTF-8 letters stay", "K\xc3\xb6ln \xe2\x82\xac", "K\xc3\xb6ln \xe2\x82\xac"},
        // U+009B, the C1 control some terminals take as the start of a sequence.
        {"C1 control", "a\u009Bb", "a\\xC2\\x9Bb"},
        {"first character after C1", "\xc2\xa0", "\xc2\xa0"}, // U+00A0 is text
        {"byte that is no UTF-8", "caf\xe9.emf", "caf\\xE9.emf"},
        {"cut sequence at the end", "x\xe2\x82", "x\\xE2\\x82"},
        {"backslashes stay", "a\\x0Ab", "a\\x0Ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PrintableText(c.text), c.expected);
        EXPECT_EQ(PrintableText(PrintableText(c.text)), c.expected); // nothing more the second time
    }
}
