#pragma once

#include <cstddef>
#include <cstdint>

// Number formatting for the large text outputs, byte for byte what printf's "%f" (six
// decimals, correctly rounded, ties to even, "-0.000000" for a negative zero, "nan",
// "-nan", "inf", "-inf") and "%lld" print, at a fraction of the cost.
//
// A double that is exactly a 32-bit float (every coordinate of the road network is one)
// has at most 24 significant bits, so its value in millionths is exact in a double and is
// rounded to a whole number as printf rounds it (in the default rounding mode, which these
// programs never change); any other double goes through std::to_chars, which gives
// printf's digits.

/// Room for the longest "%f" of a double (317 characters) and more.
inline constexpr int max_fixed_length = 330;

/// Writes "%f" of `value` at `out` and returns the end of what it wrote (no NUL).
char* format_fixed(char* out, double value);

/// Writes "%f" of the float `value` (as printf prints it widened to a double) at `out` and
/// returns the end; at most 48 characters.
char* format_fixed_float(char* out, float value);

/// Copies a string literal's characters (not its NUL) to `out` and returns the end.
template <std::size_t size>
inline char* put_text(char* out, const char (&text)[size]) {
    for (std::size_t i = 0; i + 1 < size; ++i) out[i] = text[i];
    return out + size - 1;
}

/// Writes "%lld" of `value` at `out` (at most 20 characters) and returns the end.
char* format_integer(char* out, std::int64_t value);
