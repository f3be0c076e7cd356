#pragma once
// Small text helpers shared by the preferences store and the reports: trimming,
// splitting delimited texts with quotes, and the semicolon-to-tab rule of the
// report rows. Texts are byte strings; field numbers count from 1.

#include <string>
#include <string_view>

namespace corvalt {

// Remove leading / trailing characters whose code is 32 or less.
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);

// 1 + the number of delimiters outside quotes (" or ', opened anywhere). With a
// blank delimiter, leading blanks do not count and a run of blanks counts once.
int CountFields(std::string_view s, char delimiter);

// The n-th field of s, quote characters removed and the result trimmed. A ", '
// or | opens a quoted stretch only as the first non-blank character of a field;
// inside it the delimiter is ordinary text. A field beyond the last is empty.
std::string GetField(std::string_view s, int n, char delimiter);

// Every ';' replaced by a tab: report rows are written as format strings whose
// columns are separated by semicolons.
std::string SemicolonsToTabs(std::string_view s);

// The text as valid UTF-8: well-formed UTF-8 sequences pass through, and every
// other byte is read as Windows-1252, the encoding of texts typed into older
// project and preferences files (0xE9 becomes "é"); a byte without a character
// there becomes U+FFFD. Windows and JSON need valid UTF-8.
std::string ToValidUtf8(std::string_view text);

// The text for a one-line message: valid UTF-8 passes through, and every
// control character (C0, DEL and the C1 controls U+0080 to U+009F) and every
// byte that is not part of valid UTF-8 is written as "\xNN" ("\x0A" for a
// newline). A newline or an escape sequence inside a file name can therefore
// neither break the message nor reach the terminal. Applying it twice changes
// nothing more.
std::string PrintableText(std::string_view text);

// The shortest text that reads back as the same float, "." as decimal point
// (0.1f gives "0.1", 500 gives "500"); for messages.
std::string ShortestFloatText(float value);

int MaxInt(int a, int b);
float MaxFloat(float a, float b); // b when b > a, otherwise a

} // namespace corvalt
