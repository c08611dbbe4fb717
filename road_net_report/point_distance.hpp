#pragma once

#include <cstdint>
#include <optional>

/// The distance in whole metres between (x1, z1) and (x2, z2), coordinates in whole metres:
/// the integer square root of dx·dx + dz·dz, exact for every pair of int32 points. A
/// difference reaches 2^32 - 1 and the distance about 6.07·10^9, so the result is 64-bit.
std::int64_t point_distance(std::int32_t x1, std::int32_t x2, std::int32_t z1, std::int32_t z2);

/// A coordinate in metres truncated toward zero to whole metres (10.7 gives 10, -3.2 gives
/// -3, -0.9 gives 0), or nothing when it is not finite or its whole part does not fit an
/// int32.
std::optional<std::int32_t> whole_metres(float metres);
