#include "fixed_format.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Wide enough for a float's whole part (below 2^128) and for a 64-bit fraction times a million.
__extension__ typedef unsigned __int128 uint128;

constexpr std::uint64_t million = 1000000;

char* copy_text(char* out, const char* text) {
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

/// The decimal digits of `value`, most significant first.
char* format_whole(char* out, uint128 value) {
    // Almost every whole part fits 64 bits, whose division by ten is a multiplication.
    if (value <= UINT64_MAX) return std::to_chars(out, out + 20, static_cast<std::uint64_t>(value)).ptr;
    char digits[40];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

/// Six digits of `value` (below a million), zeros in front.
char* format_six_digits(char* out, std::uint32_t value) {
    static constexpr char pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    const std::uint32_t high = value / 10000;
    const std::uint32_t middle = value / 100 % 100;
    const std::uint32_t low = value % 100;
    std::memcpy(out, pairs + 2 * high, 2);
    std::memcpy(out + 2, pairs + 2 * middle, 2);
    std::memcpy(out + 4, pairs + 2 * low, 2);
    return out + 6;
}

}  // namespace

/// "%f" of a float's value, exactly: the value is m * 2^e with m below 2^24.
char* format_fixed_float(char* out, float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased == 0xFF) return format_fixed(out, value);  // not a number, or infinite
    const std::uint32_t fraction = bits & 0x7FFFFF;
    const std::uint64_t m = biased == 0 ? fraction : (fraction | 0x800000u);
    const int e = biased == 0 ? -149 : biased - 150;

    if (e >= 0) {
        // A whole number, up to 2^128.
        if (bits >> 31) *out++ = '-';
        out = format_whole(out, static_cast<uint128>(m) << e);
        return put_text(out, ".000000");
    }
    std::uint64_t whole = 0;
    std::uint64_t millionths = 0;
    if (-e < 64) {
        const int k = -e;
        const std::uint64_t mask = (std::uint64_t{1} << k) - 1;
        whole = m >> k;
        // The fraction times a million, as a quotient and a remainder of 2^k: below 2^(k + 20),
        // so 64 bits hold it up to k = 44, the common case.
        std::uint64_t rest = 0;
        if (k <= 44) {
            const std::uint64_t scaled = (m & mask) * million;
            millionths = scaled >> k;
            rest = scaled & mask;
        } else {
            const uint128 scaled = static_cast<uint128>(m & mask) * million;
            millionths = static_cast<std::uint64_t>(scaled >> k);
            rest = static_cast<std::uint64_t>(scaled) & mask;
        }
        const std::uint64_t half = std::uint64_t{1} << (k - 1);
        if (rest > half || (rest == half && (millionths & 1) != 0)) ++millionths;
        if (millionths == million) {
            ++whole;
            millionths = 0;
        }
    }
    // Below 2^-40 the value rounds to zero millionths, with no tie.
    if (bits >> 31) *out++ = '-';
    out = std::to_chars(out, out + 20, whole).ptr;
    *out++ = '.';
    return format_six_digits(out, static_cast<std::uint32_t>(millionths));
}

char* format_fixed(char* out, double value) {
    if (std::isnan(value)) return copy_text(out, std::signbit(value) ? "-nan" : "nan");
    if (std::isinf(value)) return copy_text(out, value < 0 ? "-inf" : "inf");
    if (std::fabs(value) <= std::numeric_limits<float>::max()) {
        const float narrow = static_cast<float>(value);
        if (static_cast<double>(narrow) == value) return format_fixed_float(out, narrow);
    }
    return std::to_chars(out, out + max_fixed_length, value, std::chars_format::fixed, 6).ptr;
}

char* format_integer(char* out, std::int64_t value) { return std::to_chars(out, out + 20, value).ptr; }
