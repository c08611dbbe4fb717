#include "point_distance.hpp"

#include <cmath>

namespace {

/// Whether r·r <= a·a + b·b, without forming a sum that can reach 2^65.
bool square_fits(std::uint64_t r, std::uint64_t a, std::uint64_t b) {
    if (r <= a) return true;
    // r·r - a·a = (r - a)(r + a) <= b·b, and for whole numbers x·y <= z holds exactly when
    // x <= z / y in integer division; b·b stays below 2^64.
    return r - a <= b * b / (r + a);
}

std::uint64_t magnitude(std::int64_t value) { return static_cast<std::uint64_t>(value < 0 ? -value : value); }

}  // namespace

std::int64_t point_distance(std::int32_t x1, std::int32_t x2, std::int32_t z1, std::int32_t z2) {
    std::uint64_t dx = magnitude(std::int64_t{x2} - x1);
    std::uint64_t dz = magnitude(std::int64_t{z2} - z1);
    if (dx < (std::uint64_t{1} << 31) && dz < (std::uint64_t{1} << 31)) {
        // The sum of squares stays below 2^63: settle the estimate with plain products.
        const std::uint64_t sum = dx * dx + dz * dz;
        auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(sum)));
        while (root * root > sum) --root;
        while ((root + 1) * (root + 1) <= sum) ++root;
        return static_cast<std::int64_t>(root);
    }
    // The double square root is within one of the answer; the exact test settles it.
    double estimate = std::sqrt(static_cast<double>(dx) * static_cast<double>(dx) +
                                static_cast<double>(dz) * static_cast<double>(dz));
    std::uint64_t root = static_cast<std::uint64_t>(estimate);
    while (root > 0 && !square_fits(root, dx, dz)) --root;
    while (square_fits(root + 1, dx, dz)) ++root;
    return static_cast<std::int64_t>(root);
}

std::optional<std::int32_t> whole_metres(float metres) {
    double value = metres;
    // Every double strictly between these truncates into the int32 range; false for
    // not-a-number and the infinities as well.
    if (!(value > -2147483649.0 && value < 2147483648.0)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}
