#include "line_intersection.hpp"

#include "linear_solver.hpp"

namespace {

/// Equality in which a not-a-number on either side counts as equal.
bool same(double a, double b) { return !(a < b) && !(a > b); }

}  // namespace

std::optional<road_point> intersect_lines(road_point a1, road_point a2, road_point b1, road_point b2) {
    const bool a_along_z = same(a1.x, a2.x);
    const bool b_along_z = same(b1.x, b2.x);
    if (a_along_z && b_along_z) return std::nullopt;

    // Along the z axis the division by zero gives an infinite slope, as intended.
    const double slope_a = (a2.z - a1.z) / (a2.x - a1.x);
    const double slope_b = (b2.z - b1.z) / (b2.x - b1.x);
    if (same(slope_a, slope_b)) return std::nullopt;

    road_point crossing{};
    if (a_along_z) {
        crossing.x = a1.x;
        crossing.z = b1.z - slope_b * (b1.x - a1.x);
        return crossing;
    }
    if (b_along_z) {
        crossing.x = b1.x;
        crossing.z = a1.z - slope_a * (a1.x - b1.x);
        return crossing;
    }
    // Each line as z - m x = z1 - m x1; the unknowns are z, then x.
    double matrix[6] = {
        1.0, -slope_a, a1.z - slope_a * a1.x,  //
        1.0, -slope_b, b1.z - slope_b * b1.x,
    };
    double solution[2] = {0.0, 0.0};
    // The slopes differ, so the second pivot (their difference) is not zero.
    Solve_array(matrix, solution, 3, 2);
    crossing.x = solution[1];
    crossing.z = solution[0];
    return crossing;
}
