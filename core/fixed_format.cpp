#include "fixed_format.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Wide enough for a float's whole part (below 2^128).
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

/// "%f" of a float's value, exactly.
char* format_fixed_float(char* out, float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t magnitude = bits & 0x7FFFFFFF;
    if (magnitude >= 0x7F800000) return format_fixed(out, value);  // not a number, or infinite
    if (bits >> 31) *out++ = '-';
    if (magnitude < 0x4F800000) {
        // Below 2^32: the value in millionths, |v| * 10^6, is exact in a double (24 significant
        // bits times 15625 * 2^6, at most 38 bits) and below 2^52, where adding 2^52 rounds it
        // to a whole number, ties to even, as printf rounds. Every float with a fraction is
        // below 2^23, so this is the only place a fraction is rounded.
        const double millionths = std::fabs(static_cast<double>(value)) * 1e6;
        const auto rounded = static_cast<std::uint64_t>((millionths + 0x1p52) - 0x1p52);
        const auto whole = static_cast<std::uint32_t>(rounded / million);
        out = std::to_chars(out, out + 10, whole).ptr;
        *out++ = '.';
        return format_six_digits(out, static_cast<std::uint32_t>(rounded - std::uint64_t{whole} * million));
    }
    // 2^32 and beyond: a whole number m * 2^e, below 2^128.
    const std::uint64_t m = (bits & 0x7FFFFF) | 0x800000u;
    const int e = static_cast<int>(magnitude >> 23) - 150;
    out = format_whole(out, static_cast<uint128>(m) << e);
    return put_text(out, ".000000");
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
