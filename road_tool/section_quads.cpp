#include "section_quads.hpp"

#include <cmath>
#include <cstdio>
#include <optional>

#include "line_intersection.hpp"

namespace {

/// The corner offsets of a section from (x0, z0) to (x1, z1): u and v are
/// road_half_width times the cosine and sine of atan((x0 - x1) / (z1 - z0)), and `towards_
/// smaller_z` says which side of the centreline they point to.
struct section_offset {
    double u;
    double v;
    bool towards_smaller_z;
};

section_offset offset_of(const road_point& a, const road_point& b) {
    // A section parallel to the x axis divides by zero: the infinite t gives a right angle.
    const double t = (a.x - b.x) / (b.z - a.z);
    const double theta = std::atan(t);
    const double cos_theta = std::cos(theta);
    const double sin_theta = std::sin(theta);
    return {road_half_width * cos_theta, road_half_width * sin_theta, a.z > b.z};
}

bool has_length(const road_record& road, std::int32_t section) {
    const road_point& a = road.points[section];
    const road_point& b = road.points[section + 1];
    return a.x != b.x || a.z != b.z;
}

/// The section whose direction gives section i its corners. A section of zero length (two
/// equal points) has no direction of its own: it takes that of the nearest section before
/// it that has a length, else of the nearest one after it. Its quad then starts and ends on
/// the one point, its edges have no length, and the joints on either side stay open: the
/// outline runs on along the neighbour's edges without a gap. A road whose points are all
/// equal gets every corner on the point.
std::optional<std::int32_t> direction_source(const road_record& road, std::int32_t i) {
    if (has_length(road, i)) return i;
    for (std::int32_t k = i - 1; k >= 0; --k) {
        if (has_length(road, k)) return k;
    }
    for (std::int32_t k = i + 1; k < road.section_count; ++k) {
        if (has_length(road, k)) return k;
    }
    return std::nullopt;
}

void set_corner(road_point& corner, double x, double z) {
    corner.x = x;
    corner.z = z;
}

bool edges_parallel(const road_point& a_start, const road_point& a_end, const road_point& b_start,
                    const road_point& b_end) {
    return directions_parallel(a_end.x - a_start.x, a_end.z - a_start.z, b_end.x - b_start.x,
                               b_end.z - b_start.z);
}

}  // namespace

bool directions_parallel(double da_x, double da_z, double db_x, double db_z) {
    const double cross = da_x * db_z - da_z * db_x;
    const double length_a = std::sqrt(da_x * da_x + da_z * da_z);
    const double length_b = std::sqrt(db_x * db_x + db_z * db_z);
    return !(std::fabs(cross) > 1e-6 * length_a * length_b);
}

void build_quad_corners(road_record& road) {
    for (std::int32_t i = 0; i < road.section_count; ++i) {
        const road_point& a = road.points[i];
        const road_point& b = road.points[i + 1];
        section_quad& quad = road.quads[i];
        const std::optional<std::int32_t> source = direction_source(road, i);
        if (!source) {
            set_corner(quad.p, a.x, a.z);
            set_corner(quad.q, a.x, a.z);
            set_corner(quad.r, b.x, b.z);
            set_corner(quad.s, b.x, b.z);
            continue;
        }
        const section_offset o = offset_of(road.points[*source], road.points[*source + 1]);
        // cos(theta) is never negative, so (u, v) points to one side or the other depending
        // on the sign of dz; the two branches keep p and s on the right-hand side.
        if (o.towards_smaller_z) {
            set_corner(quad.p, a.x - o.u, a.z - o.v);
            set_corner(quad.q, a.x + o.u, a.z + o.v);
            set_corner(quad.r, b.x + o.u, b.z + o.v);
            set_corner(quad.s, b.x - o.u, b.z - o.v);
        } else {
            set_corner(quad.p, a.x + o.u, a.z + o.v);
            set_corner(quad.q, a.x - o.u, a.z - o.v);
            set_corner(quad.r, b.x - o.u, b.z - o.v);
            set_corner(quad.s, b.x + o.u, b.z + o.v);
        }
    }
}

void join_section_quads(std::int32_t road_index) {
    road_record& road = roads[road_index];
    // Each joint starts from the corners the previous joint left.
    for (std::int32_t i = 0; i + 1 < road.section_count; ++i) {
        section_quad& first = road.quads[i];
        section_quad& second = road.quads[i + 1];

        // Nearly parallel edges (consecutive sections of one straight line, whose slopes
        // differ in the last bit) would cross anywhere along the line: they stay open.
        std::optional<road_point> right;
        if (!edges_parallel(first.p, first.s, second.p, second.s)) {
            right = intersect_lines(first.p, first.s, second.p, second.s);
        }
        if (!right) {
            std::printf("Road %d Sections %d and %d are parallel\n\n", road_index, i, i + 1);
            continue;
        }
        set_corner(first.s, right->x, right->z);
        set_corner(second.p, right->x, right->z);

        // Left-hand edges that do not cross keep their own corners.
        if (edges_parallel(first.q, first.r, second.q, second.r)) continue;
        std::optional<road_point> left = intersect_lines(first.q, first.r, second.q, second.r);
        if (!left) continue;
        set_corner(first.r, left->x, left->z);
        set_corner(second.q, left->x, left->z);
    }
}

void build_section_quads() {
    for (std::int32_t r = 0; r < road_count; ++r) build_quad_corners(roads[r]);
    for (std::int32_t r = 0; r < road_count; ++r) join_section_quads(r);
}
