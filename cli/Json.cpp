#include "cli/Json.h"

#include "cli/FloatText.h"
#include "model/LargeArray.h"
#include "model/Parallel.h"
#include "model/TextHelpers.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <streambuf>
#include <vector>

namespace corvalt::cli {
namespace {

void AppendEscapedAscii(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
        constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[code >> 4];
        out += kHex[code & 0xF];
        return;
    }
    out += c;
}

// The text of one run of elements, kept for the next run: its storage lies on
// huge pages (a run is most of a megabyte, and fresh small pages were dearer
// than writing the text).
class TRunText : public std::streambuf {
    // A huge page: the storage is one whatever its size below.
    static constexpr std::size_t kRunTextBytes = 2 * kLargeArrayBytes;

  public:
    TRunText() { Grow(kRunTextBytes); }
    ~TRunText() override { FreeLargeArray(pbase(), Capacity()); }
    TRunText(const TRunText&) = delete;
    TRunText& operator=(const TRunText&) = delete;

    void Clear() { setp(pbase(), epptr()); }
    std::string_view View() const { return {pbase(), static_cast<std::size_t>(pptr() - pbase())}; }

  protected:
    int_type overflow(int_type c) override {
        Grow(2 * Capacity());
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

  private:
    std::size_t Capacity() const { return static_cast<std::size_t>(epptr() - pbase()); }

    // Storage of capacity bytes holding the text so far.
    void Grow(std::size_t capacity) {
        char* storage = static_cast<char*>(AllocateLargeArray(capacity));
        std::size_t size = 0;
        if (pbase() != nullptr) {
            size = View().size();
            std::memcpy(storage, pbase(), size);
            FreeLargeArray(pbase(), Capacity());
        }
        setp(storage, storage + capacity);
        pbump(static_cast<int>(size));
    }
};

} // namespace

std::string JsonString(std::string_view text) {
    const std::string utf8 = ToValidUtf8(text);
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x80)
            AppendEscapedAscii(out, c);
        else
            out += c; // part of a UTF-8 sequence
    }
    return out + "\"";
}

char* JsonNumberText(char* out, const std::optional<float>& value) {
    if (value && std::isfinite(*value)) return FloatText(out, *value);
    std::memcpy(out, "null", 4);
    return out + 4;
}

char* JsonNumberText(char* out, float value) {
    return JsonNumberText(out, std::optional<float>(value));
}

std::string JsonNumber(float value) {
    std::array<char, kFloatTextCapacity> buffer{};
    return std::string(buffer.data(), JsonNumberText(buffer.data(), value));
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    std::array<char, 32> buffer{};
    return std::string(buffer.data(),
                       std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr);
}

TJsonWriter::TJsonWriter(std::ostream& out)
    : out_(out), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

TJsonWriter::TJsonWriter(std::ostream& out, const TJsonWriter& context, bool firstRun)
    : TJsonWriter(out) {
    assert(!context.levels_.empty() && !context.levels_.back().IsObject && !context.afterKey_);
    levels_ = context.levels_;
    if (!firstRun) levels_.back().Empty = false;
}

TJsonWriter::~TJsonWriter() {
    // Whatever was written so far reaches the stream, as it did member by
    // member; a stream that throws must not end the program from here.
    try {
        Flush();
    } catch (...) {
    }
}

void TJsonWriter::Flush() {
    out_.write(buffer_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
}

char* TJsonWriter::Room(std::size_t n) {
    if (kBufferSize - used_ < n) Flush();
    return buffer_.get() + used_;
}

void TJsonWriter::Put(char c) {
    *Room(1) = c;
    ++used_;
}

void TJsonWriter::Put(std::string_view text) {
    if (text.size() > kBufferSize) {
        Flush();
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        return;
    }
    std::memcpy(Room(text.size()), text.data(), text.size());
    used_ += text.size();
}

namespace {

// A line break and the indentation of depth open levels at out.
char* LineBreakAt(char* out, std::size_t depth) {
    out[0] = '\n';
    std::memset(out + 1, ' ', 2 * depth);
    return out + 1 + 2 * depth;
}

} // namespace

void TJsonWriter::LineBreak() {
    char* out = Room(1 + 2 * levels_.size());
    used_ = static_cast<std::size_t>(LineBreakAt(out, levels_.size()) - buffer_.get());
}

char* TJsonWriter::Separator(char* out) {
    TLevel& level = levels_.back();
    if (!level.Empty) *out++ = ',';
    if (level.Layout == TJsonLayout::Block)
        out = LineBreakAt(out, levels_.size());
    else if (!level.Empty)
        *out++ = ' ';
    level.Empty = false;
    return out;
}

void TJsonWriter::Separate() {
    char* out = Room(SeparatorRoom());
    used_ = static_cast<std::size_t>(Separator(out) - buffer_.get());
}

char* TJsonWriter::StartMember(char* out) {
    assert(!levels_.empty() && levels_.back().IsObject && !afterKey_);
    afterKey_ = true;
    return Separator(out);
}

void TJsonWriter::BeforeValue() {
    if (levels_.empty()) return;
    if (levels_.back().IsObject) {
        assert(afterKey_ && "a value in an object needs a key first");
        afterKey_ = false;
        return;
    }
    Separate();
}

TJsonWriter& TJsonWriter::Raw(std::string_view text) {
    BeforeValue();
    Put(text);
    return *this;
}

TJsonWriter& TJsonWriter::Begin(bool isObject, TJsonLayout layout, char open) {
    BeforeValue();
    Put(open);
    levels_.push_back({isObject, layout});
    return *this;
}

TJsonWriter& TJsonWriter::End(char close) {
    assert(!levels_.empty() && !afterKey_);
    const TLevel level = levels_.back();
    levels_.pop_back();
    if (!level.Empty && level.Layout == TJsonLayout::Block) LineBreak();
    Put(close);
    return *this;
}

TJsonWriter& TJsonWriter::BeginObject(TJsonLayout layout) {
    return Begin(true, layout, '{');
}

TJsonWriter& TJsonWriter::EndObject() {
    assert(levels_.back().IsObject);
    return End('}');
}

TJsonWriter& TJsonWriter::BeginArray(TJsonLayout layout) {
    return Begin(false, layout, '[');
}

TJsonWriter& TJsonWriter::EndArray() {
    assert(!levels_.back().IsObject);
    return End(']');
}

TJsonWriter& TJsonWriter::EscapedKey(std::string_view key) {
    char* out = Room(SeparatorRoom());
    used_ = static_cast<std::size_t>(StartMember(out) - buffer_.get());
    Put(JsonString(key));
    Put(": ");
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view value) {
    BeforeValue();
    // Plain texts (ids, names, most titles) need no escaping pass.
    if (IsPlainJsonText(value)) {
        Put('"');
        Put(value);
        Put('"');
    } else {
        Put(JsonString(value));
    }
    return *this;
}

TJsonWriter& TJsonWriter::Number(float value) {
    BeforeValue();
    char* out = Room(kFloatTextCapacity);
    used_ = static_cast<std::size_t>(JsonNumberText(out, value) - buffer_.get());
    return *this;
}

TJsonWriter& TJsonWriter::Number(const std::optional<float>& value) {
    return value ? Number(*value) : Null();
}

TJsonWriter& TJsonWriter::Number(double value) {
    return Raw(JsonNumber(value));
}

TJsonWriter& TJsonWriter::Integer(long long value) {
    BeforeValue();
    constexpr std::size_t kLongest = 20; // "-9223372036854775808"
    char* out = Room(kLongest);
    used_ = static_cast<std::size_t>(std::to_chars(out, out + kLongest, value).ptr - buffer_.get());
    return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
    return Raw(value ? "true" : "false");
}

TJsonWriter& TJsonWriter::Null() {
    return Raw("null");
}

TJsonWriter& TJsonWriter::AppendRun(std::string_view text) {
    assert(!levels_.empty() && !levels_.back().IsObject);
    if (text.empty()) return *this;
    Put(text);
    levels_.back().Empty = false;
    return *this;
}

void TJsonWriter::Finish() {
    assert(levels_.empty());
    Put('\n');
    Flush();
}

void WriteElementsSideBySide(TJsonWriter& json, std::size_t count, std::size_t runLength,
                             const TElementsWriter& write) {
    if (count < 2 * runLength) {
        write(json, 0, count);
        return;
    }
    // As many runs at once as there are cores, each run's text kept until
    // its turn: the memory held is bounded, whatever the count. The runs are
    // of equal length (up to twice runLength), so that the cores finish each
    // batch together, and as few batches as that allows: every batch has the
    // cores wait for each other.
    const std::size_t runsAtOnce = std::max<std::size_t>(2, CoreCount());
    const std::size_t batches = (count + 2 * runLength * runsAtOnce - 1) / (2 * runLength * runsAtOnce);
    const std::size_t length = (count + batches * runsAtOnce - 1) / (batches * runsAtOnce);
    std::vector<TRunText> texts(runsAtOnce);
    for (std::size_t batch = 0; batch < count; batch += runsAtOnce * length) {
        const std::size_t inBatch = std::min(count - batch, runsAtOnce * length);
        ForEachBlock(inBatch, length, {}, [&](std::size_t first, std::size_t n) {
            TRunText& text = texts[first / length];
            text.Clear();
            std::ostream out(&text);
            TJsonWriter run(out, json, batch + first == 0);
            write(run, batch + first, n);
            run.Flush();
        });
        for (std::size_t first = 0; first < inBatch; first += length)
            json.AppendRun(texts[first / length].View());
    }
}

} // namespace corvalt::cli
