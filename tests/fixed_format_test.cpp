// The fast number formatting of the large outputs against printf itself, over many values:
// every kind of float (the road network's coordinates), halfway cases, zeros of both signs,
// denormals, the largest magnitudes, and doubles of every kind.

#include "fixed_format.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string printf_fixed(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
#if defined(_WIN32)
    // mingw-w64's printf drops the sign of a NaN; glibc's prints it, and the reports keep it
    // on every platform.
    if (std::isnan(value) && std::signbit(value)) return std::string("-") + text;
#endif
    return text;
}

std::string fast_fixed(double value) {
    char text[max_fixed_length];
    return std::string(text, format_fixed(text, value));
}

/// Compares the two for `value`; counts a mismatch and reports the first few.
void compare(double value, int& mismatches) {
    const std::string expected = printf_fixed(value);
    const std::string actual = fast_fixed(value);
    if (actual != expected && ++mismatches <= 10) {
        ADD_FAILURE() << "value " << std::hexfloat << value << ": printf " << expected << ", fast " << actual;
    }
}

TEST(FixedFormat, SameAsPrintfForFloats) {
    int mismatches = 0;
    std::mt19937 random(20261211);
    // Random bit patterns cover every exponent, NaNs and infinities included.
    for (int i = 0; i < 3000000; ++i)
        compare(std::bit_cast<float>(static_cast<std::uint32_t>(random())), mismatches);
    // Every float with 2 to 30 fraction bits that lies halfway between two millionths, or
    // next to it: v = (2j + 1) / 2^7 / ... and its neighbours.
    for (int k = 1; k <= 40; ++k) {
        for (int j = 0; j < 4000; ++j) {
            const double halfway = std::ldexp(2.0 * (random() % 1000000) + 1, -k);
            for (float v : {static_cast<float>(halfway), std::nextafter(static_cast<float>(halfway), 0.0f),
                            std::nextafter(static_cast<float>(halfway), 1e30f)}) {
                compare(v, mismatches);
                compare(-v, mismatches);
            }
        }
    }
    // Zeros, denormals, the edges of the range, and values that round up into the next whole.
    const float edges[] = {0.0f,
                           -0.0f,
                           std::numeric_limits<float>::denorm_min(),
                           -std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::max(),
                           -std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           -std::numeric_limits<float>::quiet_NaN(),
                           0.0000005f,
                           0.9999995f,
                           9.9999995f,
                           1.0f / 128,
                           3.0f / 128,
                           16777216.0f,
                           -2000000000.0f,
                           10.7f,
                           -3.2f};
    for (float v : edges) compare(v, mismatches);
    for (std::uint32_t bits = 0; bits < 200000; ++bits) compare(std::bit_cast<float>(bits), mismatches);
    EXPECT_EQ(mismatches, 0);
}

TEST(FixedFormat, SameAsPrintfForDoubles) {
    int mismatches = 0;
    std::mt19937_64 random(11122026);
    for (int i = 0; i < 1000000; ++i) compare(std::bit_cast<double>(random()), mismatches);
    // Centimetres as metres, as the road tool holds them, and their neighbours.
    for (int i = 0; i < 1000000; ++i) {
        const double metres = static_cast<std::int32_t>(random()) / 100.0;
        compare(metres, mismatches);
        compare(std::nextafter(metres, 0.0), mismatches);
    }
    for (double v : {0.0, -0.0, 5e-7, -5e-7, 0.0000015, 2.5e-7, 1e300, -1e308, 100.01, 1.15 * 100,
                     std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max()}) {
        compare(v, mismatches);
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FixedFormat, IntegersAsPrintf) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 100000; ++i) {
        const auto value = static_cast<std::int64_t>(random()) >> (random() % 64);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%lld", static_cast<long long>(value));
        char text[32];
        ASSERT_EQ(std::string(text, format_integer(text, value)), expected);
    }
    char text[32];
    EXPECT_EQ(std::string(text, format_integer(text, std::numeric_limits<std::int64_t>::min())),
              "-9223372036854775808");
}

}  // namespace
