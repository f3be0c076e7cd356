#include "model/ZuStream.h"

#include "model/FileIo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace corvalt {

static_assert(std::numeric_limits<double>::is_iec559, "doubles must be IEEE 754 binary64");

namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr std::uint16_t kExtendedMaxExponent = 0x7FFF;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kDoubleFractionMask = (std::uint64_t{1} << 52) - 1;

void PutExtended(std::uint64_t significand, std::uint16_t signAndExponent, std::uint8_t out[10]) {
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<std::uint8_t>(significand >> (8 * i));
    out[8] = static_cast<std::uint8_t>(signAndExponent);
    out[9] = static_cast<std::uint8_t>(signAndExponent >> 8);
}

// value >> shift, rounded to nearest with ties to even; shift >= 0.
std::uint64_t ShiftRightRounded(std::uint64_t value, int shift) {
    if (shift == 0) return value;
    if (shift > 64) return 0;
    if (shift == 64) return value > kIntegerBit ? 1 : 0; // exactly half rounds to even 0
    const std::uint64_t kept = value >> shift;
    const std::uint64_t rest = value & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return (rest > half || (rest == half && (kept & 1) != 0)) ? kept + 1 : kept;
}

double FromBits(std::uint64_t sign, std::uint64_t exponentField, std::uint64_t fraction) {
    return std::bit_cast<double>((sign << 63) | (exponentField << 52) | fraction);
}

} // namespace

void EncodeExtended(double value, std::uint8_t out[TZuStream::kRealSize]) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const auto sign = static_cast<std::uint16_t>((bits >> 63) << 15);
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & kDoubleFractionMask;

    if (exponent == 0x7FF) { // infinity keeps only the integer bit; a NaN stays quiet
        const std::uint64_t significand =
            fraction == 0 ? kIntegerBit : kIntegerBit | (std::uint64_t{1} << 62) | (fraction << 11);
        PutExtended(significand, sign | kExtendedMaxExponent, out);
        return;
    }
    if (exponent == 0 && fraction == 0) {
        PutExtended(0, sign, out);
        return;
    }
    // Normal doubles have the hidden bit; subnormals are normalized, which the
    // wider exponent of the extended format always allows.
    std::uint64_t significand = exponent == 0 ? fraction : (fraction | (std::uint64_t{1} << 52));
    int unbiased = exponent == 0 ? 1 - kDoubleBias : exponent - kDoubleBias;
    const int leadingZeros = std::countl_zero(significand);
    significand <<= leadingZeros;
    unbiased -= leadingZeros - 11;
    PutExtended(significand, static_cast<std::uint16_t>(sign | (unbiased + kExtendedBias)), out);
}

double DecodeExtended(const std::uint8_t in[TZuStream::kRealSize]) {
    std::uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | in[i];
    const auto signAndExponent = static_cast<std::uint16_t>(in[8] | (in[9] << 8));
    const std::uint64_t sign = signAndExponent >> 15;
    const int exponent = signAndExponent & kExtendedMaxExponent;

    if (exponent == kExtendedMaxExponent) {
        const bool infinity = (significand & ~kIntegerBit) == 0;
        return FromBits(sign, 0x7FF, infinity ? 0 : (std::uint64_t{1} << 51));
    }
    if (significand == 0) return FromBits(sign, 0, 0);

    // value = significand × 2^(e - 63) with e the unbiased exponent (denormals
    // of the extended format use e = 1 - bias); normalize so bit 63 is set.
    int unbiased = (exponent == 0 ? 1 : exponent) - kExtendedBias;
    const int leadingZeros = std::countl_zero(significand);
    significand <<= leadingZeros;
    unbiased -= leadingZeros;

    if (unbiased > kDoubleBias) return FromBits(sign, 0x7FF, 0);
    if (unbiased >= 1 - kDoubleBias) { // normal double: keep 53 of the 64 bits
        std::uint64_t kept = ShiftRightRounded(significand, 11);
        if (kept >> 53) { // rounding carried into a new bit
            kept >>= 1;
            ++unbiased;
            if (unbiased > kDoubleBias) return FromBits(sign, 0x7FF, 0);
        }
        return FromBits(sign, static_cast<std::uint64_t>(unbiased + kDoubleBias),
                        kept & kDoubleFractionMask);
    }
    // Subnormal double (or zero): the fraction counts units of 2^-1074. A
    // rounding that reaches 2^52 lands exactly on the smallest normal double.
    const int shift = 11 + (1 - kDoubleBias - unbiased);
    return FromBits(sign, 0, ShiftRightRounded(significand, shift));
}

void TZuStream::Append(const std::uint8_t* data, std::size_t count) {
    if (position_ == buffer_.size()) {
        buffer_.insert(buffer_.end(), data, data + count);
    } else { // overwrite in place, growing where the write passes the end
        const std::size_t overlap = std::min(count, buffer_.size() - position_);
        std::copy(data, data + overlap, buffer_.begin() + static_cast<std::ptrdiff_t>(position_));
        buffer_.insert(buffer_.end(), data + overlap, data + count);
    }
    position_ += count;
}

void TZuStream::Take(std::uint8_t* out, std::size_t count) {
    const std::size_t available = std::min(count, Remaining());
    std::memcpy(out, buffer_.data() + position_, available);
    std::memset(out + available, 0, count - available);
    position_ += available;
    if (available < count) truncated_ = true;
}

void TZuStream::WriteByte(std::uint8_t value) {
    Append(&value, 1);
}

void TZuStream::WriteInt(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    Append(bytes, 4);
}

void TZuStream::WriteReal(double value) {
    std::uint8_t bytes[kRealSize];
    EncodeExtended(value, bytes);
    Append(bytes, kRealSize);
}

void TZuStream::WriteText(const std::string& text) {
    WriteInt(static_cast<std::int32_t>(text.size()));
    Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::uint8_t TZuStream::ReadByte() {
    std::uint8_t value = 0;
    Take(&value, 1);
    return value;
}

std::int32_t TZuStream::ReadInt() {
    std::uint8_t bytes[4];
    Take(bytes, 4);
    const std::uint32_t bits = bytes[0] | (std::uint32_t{bytes[1]} << 8) |
                               (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(bits);
}

double TZuStream::ReadReal() {
    std::uint8_t bytes[kRealSize];
    Take(bytes, kRealSize);
    return DecodeExtended(bytes);
}

std::string TZuStream::ReadText() {
    const std::int32_t length = ReadInt();
    if (length <= 0) return {};
    const std::vector<std::uint8_t> bytes = ReadBytes(static_cast<std::size_t>(length));
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> TZuStream::ReadBytes(std::size_t count) {
    const std::size_t available = std::min(count, Remaining());
    std::vector<std::uint8_t> bytes(buffer_.begin() + static_cast<std::ptrdiff_t>(position_),
                                    buffer_.begin() +
                                        static_cast<std::ptrdiff_t>(position_ + available));
    position_ += available;
    if (available < count) truncated_ = true;
    return bytes;
}

std::string TZuStream::LoadFromFile(const std::string& path, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    const TReadOutcome outcome = ReadWholeFile(path, maxBytes, bytes);
    if (outcome.Status != TReadStatus::Ok) return outcome.Detail;
    buffer_ = std::move(bytes);
    Rewind();
    return {};
}

std::string TZuStream::SaveToFile(const std::string& path) const {
    return ReplaceFile(path, buffer_);
}

void TZuStream::CopyTo(TZuStream& other) const {
    other.buffer_ = buffer_;
    other.Rewind();
}

void TZuStream::Clear() {
    buffer_.clear();
    Rewind();
}

void TZuStream::Rewind() {
    position_ = 0;
    truncated_ = false;
}

std::vector<std::uint8_t> TZuStream::TakeBytes() {
    std::vector<std::uint8_t> bytes = std::move(buffer_);
    Clear();
    return bytes;
}

} // namespace corvalt
