#pragma once
// A small JSON writer for corvalt-cli's output: nested objects and arrays,
// strings escaped for any byte string, numbers in shortest round-trip form with
// "." as decimal point whatever the locale, and null for NaN and infinities.

#include <cassert>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt::cli {

// text as a JSON string literal, quotes included. Valid UTF-8 passes through;
// quotes, backslashes and control characters are escaped. A byte that is not
// part of valid UTF-8 is read as Windows-1252, the encoding of texts typed into
// older files (0xE9 becomes "é"), and one without a character there as U+FFFD.
std::string JsonString(std::string_view text);

// The shortest text that reads back as the same number; "null" for a NaN or an
// infinity, which JSON cannot hold.
std::string JsonNumber(float value);
std::string JsonNumber(double value);
// The same written at out (kFloatTextCapacity chars of room); returns the end.
// A value that may be missing is null when empty.
char* JsonNumberText(char* out, float value);
char* JsonNumberText(char* out, const std::optional<float>& value);

// Whether text can stand between the quotes of a JSON string as it is:
// printable ASCII without quotes or backslashes.
constexpr bool IsPlainJsonText(std::string_view text) {
    for (const char c : text)
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') return false;
    return true;
}

// A key written into the program, such as "e_max": checked when the program is
// built to need no escaping, so writing it is a plain copy. A key that needs
// escaping does not compile; keys known only at run time go through
// TJsonWriter::EscapedKey.
class TJsonKey {
  public:
    template <std::size_t N>
    consteval TJsonKey(const char (&key)[N]) // implicit, so that Key("name") builds one
        : text_(key, N - 1) {
        if (!IsPlainJsonText(text_)) throw "a JSON key written into the program needs escaping";
    }
    // A key from a table built into the program (kProfileQuantities), checked alike.
    consteval explicit TJsonKey(std::string_view key) : text_(key) {
        if (!IsPlainJsonText(text_)) throw "a JSON key written into the program needs escaping";
    }
    constexpr std::string_view Text() const { return text_; }

  private:
    std::string_view text_;
};

// Block: one member per line, indented; Inline: all members on one line.
enum class TJsonLayout { Block, Inline };

// Writes one JSON value to a stream. Calls nest as the document does: in an
// object, Key() before every value. The text is collected in a buffer and
// handed to the stream in large pieces: by Finish(), when the buffer is full,
// and when the writer is destroyed.
class TJsonWriter {
  public:
    explicit TJsonWriter(std::ostream& out);
    // A writer of a run of elements of the array open in context, for writing
    // the run apart (on another thread) and adding it by AppendRun: its text is
    // what context would write for those elements, the first run's without a
    // separator before its first element.
    TJsonWriter(std::ostream& out, const TJsonWriter& context, bool firstRun);
    ~TJsonWriter();
    TJsonWriter(const TJsonWriter&) = delete;
    TJsonWriter& operator=(const TJsonWriter&) = delete;

    TJsonWriter& BeginObject(TJsonLayout layout = TJsonLayout::Block);
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray(TJsonLayout layout = TJsonLayout::Block);
    TJsonWriter& EndArray();
    // A key written into the program: Key("dist"). Inline, so that the copy
    // of a key of known length compiles to a few moves.
    TJsonWriter& Key(TJsonKey key) {
        const std::string_view text = key.Text();
        char* out = Room(SeparatorRoom() + text.size() + 4);
        out = StartMember(out);
        out[0] = '"';
        std::memcpy(out + 1, text.data(), text.size());
        std::memcpy(out + 1 + text.size(), "\": ", 3);
        used_ = static_cast<std::size_t>(out + text.size() + 4 - buffer_.get());
        return *this;
    }
    // A key known only at run time (a preference's name), escaped as any string.
    TJsonWriter& EscapedKey(std::string_view key);
    TJsonWriter& String(std::string_view value);
    TJsonWriter& Number(float value);
    TJsonWriter& Number(double value);
    // A value that may be missing: null when empty.
    TJsonWriter& Number(const std::optional<float>& value);
    TJsonWriter& Integer(long long value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();
    // An element of the open array that layOut(out) writes itself at out, at
    // most maxLength characters, returning the end: for elements of one fixed
    // form written by the hundred thousand, whose fixed pieces are copied
    // whole rather than built member by member.
    template <typename TLayOut>
    TJsonWriter& LaidOutElement(std::size_t maxLength, const TLayOut& layOut) {
        assert(!levels_.empty() && !levels_.back().IsObject);
        char* out = Separator(Room(SeparatorRoom() + maxLength));
        used_ = static_cast<std::size_t>(layOut(out) - buffer_.get());
        return *this;
    }
    // Ends the document with a line break, once the outermost value is closed,
    // and hands the text to the stream.
    void Finish();
    // Hands the text written so far to the stream (a run's writer, when its
    // run is complete).
    void Flush();
    // Adds the text of a run of elements of the open array, written by a run
    // writer made from this one.
    TJsonWriter& AppendRun(std::string_view text);

  private:
    struct TLevel {
        bool IsObject;
        TJsonLayout Layout;
        bool Empty = true;
    };

    static constexpr std::size_t kBufferSize = 64 * 1024;

    // The separator before a key written at out (SeparatorRoom() chars of
    // room); the key's value follows. Returns the end.
    char* StartMember(char* out);
    // The comma, line break and indentation before a member or element,
    // written at out (SeparatorRoom() chars of room); returns the end.
    char* Separator(char* out);
    std::size_t SeparatorRoom() const { return 2 + 2 * levels_.size(); }
    void Separate(); // Separator() at the end of the text
    void BeforeValue(); // after a key, or as the next element of an array
    void LineBreak();   // a line break and the indentation of the open levels
    TJsonWriter& Raw(std::string_view text);
    TJsonWriter& Begin(bool isObject, TJsonLayout layout, char open);
    TJsonWriter& End(char close);
    // Room for n more characters (n at most kBufferSize) at buffer_ + used_;
    // the buffer goes to the stream first when it has less.
    char* Room(std::size_t n);
    void Put(char c);
    void Put(std::string_view text); // any length

    std::ostream& out_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::vector<TLevel> levels_;
    bool afterKey_ = false;
};

// Writes count elements into the array open in json, in runs of equal length
// (from runLength to twice that) written side by side on the processor's
// cores and added in order: write(run, first, n) writes elements
// [first, first + n) to the run's writer. The text is what writing every
// element to json would give. Fewer than 2 · runLength elements are written
// to json directly. write must be safe to call from several threads at once.
using TElementsWriter =
    std::function<void(TJsonWriter& run, std::size_t first, std::size_t count)>;
void WriteElementsSideBySide(TJsonWriter& json, std::size_t count, std::size_t runLength,
                             const TElementsWriter& write);

} // namespace corvalt::cli
