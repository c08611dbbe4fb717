#pragma once

#include <optional>

#include "road_table.hpp"

/// The point where the unbounded line through `a1` and `a2` crosses the line through `b1`
/// and `b2`, in the x/z plane, or nothing when the lines are both parallel to the z axis or
/// their slopes (change of z per unit of x, as doubles) compare equal. A line through two
/// equal points has a not-a-number slope and gives nothing. Comparisons are exact, and a
/// comparison with a not-a-number counts as equal. A crossing at (0, 0) is a crossing like
/// any other. Only `x` and `z` of the result are set.
std::optional<road_point> intersect_lines(road_point a1, road_point a2, road_point b1, road_point b2);
