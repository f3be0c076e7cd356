#include "model/ZuStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace corvalt;

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

std::vector<std::uint8_t> RealBytes(double value) {
    TZuStream stream;
    stream.WriteReal(value);
    return stream.Bytes();
}

double RealFrom(std::uint64_t significand, int signAndExponent) {
    std::uint8_t bytes[10];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(significand >> (8 * i));
    bytes[8] = static_cast<std::uint8_t>(signAndExponent);
    bytes[9] = static_cast<std::uint8_t>(signAndExponent >> 8);
    return DecodeExtended(bytes);
}

constexpr std::uint64_t kTop = std::uint64_t{1} << 63;

} // namespace

TEST(ZuStream, EncodingsMatchTheFileFormat) {
    EXPECT_EQ(RealBytes(1.0), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(RealBytes(0.0), Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(RealBytes(-2.5), Bytes({0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}));
    TZuStream stream;
    stream.WriteText("1.02");
    stream.WriteInt(-1);
    stream.WriteByte(7);
    EXPECT_EQ(stream.Bytes(), Bytes({4, 0, 0, 0, '1', '.', '0', '2', 0xFF, 0xFF, 0xFF, 0xFF, 7}));
}

TEST(ZuStream, ValuesRoundTripExactly) {
    const double values[] = {1.0,
                             -0.0,
                             0.1f,
                             30.487805f,
                             28.143,
                             45366.5,
                             -1e-300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             3 * std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    TZuStream stream;
    for (double v : values)
        stream.WriteReal(v);
    stream.WriteInt(200);
    stream.WriteInt(std::numeric_limits<std::int32_t>::min());
    const std::string long300(300, 'x');
    stream.WriteText(long300);
    stream.WriteText("");
    stream.WriteReal(std::numeric_limits<double>::quiet_NaN());

    stream.Rewind();
    for (double v : values) {
        SCOPED_TRACE(v);
        const double back = stream.ReadReal();
        EXPECT_EQ(back, v);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    EXPECT_EQ(static_cast<std::uint8_t>(stream.ReadInt() & 0xFF), 200);
    EXPECT_EQ(stream.ReadInt(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(stream.ReadText(), long300);
    const std::size_t before = stream.Position();
    EXPECT_EQ(stream.ReadText(), "");
    EXPECT_EQ(stream.Position(), before + 4);
    EXPECT_TRUE(std::isnan(stream.ReadReal()));
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_FALSE(stream.Truncated());
}

TEST(ZuStream, DecodingRoundsExtendedValuesToTheNearestDouble) {
    // 1 + 2^-53 is halfway between two doubles: ties go to the even one (1.0);
    // a hair above rounds up.
    EXPECT_EQ(RealFrom(kTop | (1ull << 10), 0x3FFF), 1.0);
    EXPECT_EQ(RealFrom(kTop | (1ull << 10) | 1, 0x3FFF), 1.0 + std::ldexp(1.0, -52));
    EXPECT_EQ(RealFrom(kTop | (3ull << 10), 0x3FFF), 1.0 + std::ldexp(2.0, -52));
    // All ones rounds up into the next power of two.
    EXPECT_EQ(RealFrom(~0ull, 0x3FFF), 2.0);
    // Beyond the double range: infinity; far below: zero with its sign.
    EXPECT_EQ(RealFrom(kTop, 0x3FFF + 1024), std::numeric_limits<double>::infinity());
    EXPECT_EQ(RealFrom(kTop, 0x8000 | (0x3FFF - 1100)), 0.0);
    EXPECT_TRUE(std::signbit(RealFrom(kTop, 0x8000 | (0x3FFF - 1100))));
    // Into the subnormal range, and the halfway case below the smallest one.
    EXPECT_EQ(RealFrom(kTop, 0x3FFF - 1074), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(RealFrom(kTop, 0x3FFF - 1075), 0.0);
    EXPECT_EQ(RealFrom(kTop | 1, 0x3FFF - 1075), std::numeric_limits<double>::denorm_min());
    // Extended denormals and an unnormal (integer bit clear) are still values.
    EXPECT_EQ(RealFrom(1, 0), 0.0);
    EXPECT_EQ(RealFrom(kTop >> 1, 0x3FFF), 0.5);
    EXPECT_TRUE(std::isnan(RealFrom(kTop | 1, 0x7FFF)));
}

// Where the compiler's long double is the 80-bit format, the hardware is an
// independent reference for both directions.
TEST(ZuStream, AgreesWithNativeExtendedPrecision) {
    if constexpr (std::numeric_limits<long double>::digits != 64) {
        GTEST_SKIP() << "long double is not the 80-bit extended format here";
    } else {
        std::mt19937_64 random(12345);
        for (int i = 0; i < 200000; ++i) {
            std::uint8_t bytes[10];
            const std::uint64_t significand = random();
            std::memcpy(bytes, &significand, 8);
            // Spread exponents over the whole range, most near the double range.
            const auto exponent = static_cast<std::uint16_t>(
                i % 4 == 0 ? random() & 0x7FFF : 0x3FFF - 1100 + random() % 2200);
            const auto sign = static_cast<std::uint16_t>(random() & 0x8000);
            const std::uint16_t top = sign | exponent;
            std::memcpy(bytes + 8, &top, 2);
            const bool unnormal = exponent != 0 && (significand & kTop) == 0;
            if (unnormal) continue; // the hardware treats these as invalid
            long double native = 0;
            std::memcpy(&native, bytes, 10);
            const double expected = static_cast<double>(native);
            const double decoded = DecodeExtended(bytes);
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(decoded));
            } else {
                ASSERT_EQ(decoded, expected)
                    << "exponent " << exponent << " significand " << significand;
            }
            const double value = std::bit_cast<double>(random());
            if (std::isnan(value)) continue;
            const long double wide = value;
            std::uint8_t nativeBytes[10];
            std::memcpy(nativeBytes, &wide, 10);
            ASSERT_EQ(RealBytes(value), std::vector<std::uint8_t>(nativeBytes, nativeBytes + 10))
                << value;
        }
    }
}

TEST(ZuStream, ReadsPastTheEndYieldZeroAndReportTruncation) {
    TZuStream stream(Bytes({0x10, 0x20}));
    EXPECT_EQ(stream.ReadInt(), 0x2010);
    EXPECT_TRUE(stream.Truncated());
    EXPECT_EQ(stream.ReadReal(), 0.0);

    // A text length far beyond the data reads what is there, nothing more.
    TZuStream text(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}));
    EXPECT_EQ(text.ReadText(), "ab");
    EXPECT_TRUE(text.Truncated());

    TZuStream negative(Bytes({0xFE, 0xFF, 0xFF, 0xFF, 'a'}));
    EXPECT_EQ(negative.ReadText(), "");
    EXPECT_FALSE(negative.Truncated());
    EXPECT_EQ(negative.Remaining(), 1u);
    negative.Rewind();
    EXPECT_FALSE(negative.Truncated());
}

TEST(ZuStream, WritesAfterRewindOverwriteAndGrow) {
    TZuStream stream;
    stream.WriteInt(0x01020304);
    stream.Rewind();
    stream.WriteByte(9);
    EXPECT_EQ(stream.Bytes(), Bytes({9, 3, 2, 1}));
    stream.WriteReal(1.0); // 3 bytes overwritten, 7 appended
    EXPECT_EQ(stream.Size(), 11u);
    TZuStream copy;
    stream.CopyTo(copy);
    EXPECT_EQ(copy.Bytes(), stream.Bytes());
    EXPECT_EQ(copy.Position(), 0u);
    stream.Clear();
    EXPECT_EQ(stream.Size(), 0u);
}

TEST(ZuStream, FilesRoundTripAndTooLargeOrMissingFilesAreRefused) {
    const std::string path = ::testing::TempDir() + "corvalt-zustream.bin";
    TZuStream stream;
    stream.WriteText("payload");
    ASSERT_EQ(stream.SaveToFile(path), "");
    TZuStream back;
    back.WriteInt(99); // replaced by the load
    ASSERT_EQ(back.LoadFromFile(path, 1000), "");
    EXPECT_EQ(back.Bytes(), stream.Bytes());
    EXPECT_EQ(back.ReadText(), "payload");
    EXPECT_NE(back.LoadFromFile(path, 5), ""); // larger than allowed
    EXPECT_EQ(back.Size(), 11u);               // and the content stays
    EXPECT_NE(back.LoadFromFile(path + ".missing", 1000), "");
    std::remove(path.c_str());
}
