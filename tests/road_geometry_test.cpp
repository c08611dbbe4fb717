// The outline geometry: the solver, line crossings, section quads, the quad log and the
// land-cover outline file, on the road table directly.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "land_cover_outline.hpp"
#include "line_intersection.hpp"
#include "linear_solver.hpp"
#include "quad_log.hpp"
#include "road_table.hpp"
#include "section_quads.hpp"
#include "test_support.hpp"

namespace {

using namespace std::string_literals;
using test::le32;
using test::same_bytes;

using point_list = std::vector<std::pair<double, double>>;

void set_road(std::int32_t index, const point_list& points) {
    road_record& road = roads[index];
    road.point_count = static_cast<std::int32_t>(points.size());
    road.section_count = road.point_count - 1;
    for (std::size_t j = 0; j < points.size(); ++j) {
        road.points[j].x = points[j].first;
        road.points[j].z = points[j].second;
    }
}

void set_roads(const std::vector<point_list>& table) {
    test::clear_road_table();
    road_count = static_cast<std::int32_t>(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) set_road(static_cast<std::int32_t>(i), table[i]);
}

road_point at(double x, double z) { return road_point{x, z, 0.0}; }

std::string as_string(const byte_buffer& bytes) { return std::string(bytes.begin(), bytes.end()); }

/// Runs build_section_quads and returns what it printed.
std::string build_quads() {
    ::testing::internal::CaptureStdout();
    build_section_quads();
    return ::testing::internal::GetCapturedStdout();
}

void expect_corner(const road_point& corner, double x, double z) {
    EXPECT_NEAR(corner.x, x, 1e-9);
    EXPECT_NEAR(corner.z, z, 1e-9);
}

// --- Solve_array

TEST(SolveArray, SolvesAndRefuses) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        const char* name;
        std::vector<double> matrix;
        std::int32_t rows;
        std::int32_t result;
        std::vector<double> solution;  // expected, when solved
    } cases[] = {
        {"u - w = 0, u + w = 10", {1, -1, 0, 1, 1, 10}, 2, 1, {5, 5}},
        {"one equation", {4, 10}, 1, 1, {2.5}},
        {"no equation", {}, 0, 1, {}},
        {"negative zero pivot", {-0.0, 1, 2, 1, 0, 3}, 2, 0, {}},
        // No row exchange, although the second row could serve as the pivot row.
        {"zero first pivot", {0, 1, 2, 1, 0, 3}, 2, 0, {}},
        {"zero second pivot", {1, 1, 2, 2, 2, 3}, 2, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> matrix = c.matrix;
        double solution[2] = {-7, -7};
        ::testing::internal::CaptureStdout();
        std::int32_t result = Solve_array(matrix.data(), solution, c.rows + 1, c.rows);
        std::string printed = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(result, c.result);
        if (c.result == 1) {
            EXPECT_EQ(printed, "");
            for (std::size_t i = 0; i < c.solution.size(); ++i) EXPECT_EQ(solution[i], c.solution[i]);
        } else {
            EXPECT_EQ(printed, "Singular: Error in the Solve_array() function\n");
            EXPECT_EQ(solution[0], -7);  // untouched
        }
    }

    // A pivot that is not a number is no zero: the result is 1, the values not numbers.
    double matrix[] = {nan, 1, 2, 1, 1, 3};
    double solution[2] = {0, 0};
    EXPECT_EQ(Solve_array(matrix, solution, 3, 2), 1);
    EXPECT_TRUE(std::isnan(solution[0]) && std::isnan(solution[1]));
}

TEST(SolveArray, ReducesWholeRows) {
    // The worked system leaves the identity and the solution behind.
    double matrix[] = {1, -1, 0, 1, 1, 10};
    double solution[2];
    ASSERT_EQ(Solve_array(matrix, solution, 3, 2), 1);
    EXPECT_EQ(std::vector<double>(matrix, matrix + 6), (std::vector<double>{1, 0, 5, 0, 1, 5}));
}

// --- intersect_lines

TEST(IntersectLines, Crossings) {
    struct {
        const char* name;
        road_point a1, a2, b1, b2;
        double x, z;
    } cases[] = {
        {"line a along z", at(5, 0), at(5, 100), at(0, 95), at(100, 95), 5, 95},
        {"line b along z", at(0, 95), at(100, 95), at(5, 0), at(5, 100), 5, 95},
        {"general", at(0, 0), at(10, 10), at(0, 10), at(10, 0), 5, 5},
        {"crossing at the origin", at(-10, -10), at(-5, -5), at(-3, 3), at(-1, 1), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<road_point> crossing = intersect_lines(c.a1, c.a2, c.b1, c.b2);
        ASSERT_TRUE(crossing.has_value());
        EXPECT_EQ(crossing->x, c.x);
        EXPECT_EQ(crossing->z, c.z);
    }
}

TEST(IntersectLines, NoCrossing) {
    struct {
        const char* name;
        road_point a1, a2, b1, b2;
    } cases[] = {
        {"both along z, distinct", at(0, 0), at(0, 5), at(3, 0), at(3, 9)},
        {"both along z, the same line", at(1, 0), at(1, 5), at(1, 2), at(1, 9)},
        {"equal slopes", at(0, 0), at(2, 1), at(0, 7), at(4, 9)},
        {"coincident", at(0, 0), at(2, 1), at(4, 2), at(6, 3)},
        {"a through two equal points", at(3, 3), at(3, 3), at(0, 0), at(1, 5)},
        {"b through two equal points", at(0, 0), at(1, 5), at(3, 3), at(3, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(intersect_lines(c.a1, c.a2, c.b1, c.b2).has_value());
    }
}

TEST(IntersectLines, SlopesThatDifferInTheLastBitAreSolved) {
    // 0.1 and 0.3 / 3 differ in their last bit; the crossing is far away, but it is one.
    const double m = 0.1;
    const double n = 0.3 / 3;
    ASSERT_NE(m, n);
    std::optional<road_point> crossing = intersect_lines(at(0, 0), at(1, m), at(0, 1), at(1, 1 + n));
    ASSERT_TRUE(crossing.has_value());
    EXPECT_GT(std::fabs(crossing->x), 1e12);
}

// --- build_section_quads

class SectionQuads : public ::testing::Test {
   protected:
    void SetUp() override { test::clear_road_table(); }
};

TEST_F(SectionQuads, BendOfTheWorkedExample) {
    set_roads({{{0, 0}, {0, 100}, {100, 100}}});

    EXPECT_EQ(build_quads(), "");

    const section_quad* q = roads[0].quads;
    expect_corner(q[0].p, 5, 0);
    expect_corner(q[0].q, -5, 0);
    expect_corner(q[0].r, -5, 105);
    expect_corner(q[0].s, 5, 95);
    expect_corner(q[1].p, 5, 95);
    expect_corner(q[1].q, -5, 105);
    expect_corner(q[1].r, 100, 105);
    expect_corner(q[1].s, 100, 95);
    // Shared corners are the same values.
    EXPECT_EQ(q[0].s.x, q[1].p.x);
    EXPECT_EQ(q[0].r.z, q[1].q.z);

    // Running the stage again gives the same quads.
    section_quad before[2] = {q[0], q[1]};
    build_quads();
    EXPECT_EQ(std::memcmp(before, q, sizeof before), 0);
}

TEST_F(SectionQuads, StraightAlongZStaysOpen) {
    set_roads({{{0, 0}, {0, 100}, {0, 200}}});

    EXPECT_EQ(build_quads(), "Road 0 Sections 0 and 1 are parallel\n\n");

    expect_corner(roads[0].quads[0].s, 5, 100);
    expect_corner(roads[0].quads[1].p, 5, 100);
    expect_corner(roads[0].quads[0].r, -5, 100);
    expect_corner(roads[0].quads[1].q, -5, 100);
}

TEST_F(SectionQuads, TowardsSmallerZTheRightHandSideIsMinusX) {
    set_roads({{{0, 100}, {0, 0}}});

    build_quads();

    const section_quad& q = roads[0].quads[0];
    expect_corner(q.p, -5, 100);
    expect_corner(q.q, 5, 100);
    expect_corner(q.r, 5, 0);
    expect_corner(q.s, -5, 0);
}

TEST_F(SectionQuads, RoadRunningStraightBackStaysOpen) {
    set_roads({{{0, 0}, {30, 40}, {0, 0}}, {{1, 1}}, {}, {{2, 2}, {2, 9}}});

    EXPECT_EQ(build_quads(), "Road 0 Sections 0 and 1 are parallel\n\n");

    // Section 0 runs along (0.6, 0.8): its right-hand side is (0.8, -0.6) away.
    expect_corner(roads[0].quads[0].s, 34, 37);
    expect_corner(roads[0].quads[1].p, 26, 43);
}

TEST_F(SectionQuads, JointCrossingAtTheOriginIsJoined) {
    // The worked bend moved so that its right-hand edges cross at (0, 0).
    set_roads({{{-5, -95}, {-5, 5}, {95, 5}}});

    EXPECT_EQ(build_quads(), "");

    EXPECT_EQ(roads[0].quads[0].s.x, 0.0);
    EXPECT_EQ(roads[0].quads[0].s.z, 0.0);
    EXPECT_EQ(roads[0].quads[1].p.x, 0.0);
    EXPECT_EQ(roads[0].quads[1].p.z, 0.0);
    expect_corner(roads[0].quads[0].r, -10, 10);
    expect_corner(roads[0].quads[1].q, -10, 10);
}

TEST_F(SectionQuads, ZeroLengthSectionTakesItsNeighboursDirection) {
    set_roads({{{0, 0}, {0, 100}, {0, 100}, {100, 100}}, {{0, 0}, {0, 0}, {0, 50}}, {{7, 7}, {7, 7}}});

    EXPECT_EQ(build_quads(),
              "Road 0 Sections 0 and 1 are parallel\n\n"
              "Road 0 Sections 1 and 2 are parallel\n\n"
              "Road 1 Sections 0 and 1 are parallel\n\n");

    for (std::int32_t r = 0; r < road_count; ++r) {
        for (std::int32_t i = 0; i < roads[r].section_count; ++i) {
            for (const road_point* c :
                 {&roads[r].quads[i].p, &roads[r].quads[i].q, &roads[r].quads[i].r, &roads[r].quads[i].s}) {
                EXPECT_TRUE(std::isfinite(c->x) && std::isfinite(c->z)) << "road " << r << " quad " << i;
            }
        }
    }
    // The section from (0, 100) to (0, 100) goes the way of the section before it, so its
    // corners continue that section's edges: the outline has no gap.
    const section_quad& zero = roads[0].quads[1];
    expect_corner(zero.p, 5, 100);
    expect_corner(zero.q, -5, 100);
    expect_corner(zero.r, -5, 100);
    expect_corner(zero.s, 5, 100);
    // At the start of a road it takes the direction of the section after it.
    expect_corner(roads[1].quads[0].p, 5, 0);
    expect_corner(roads[1].quads[0].q, -5, 0);
    // A road of one repeated point: every corner on the point.
    const section_quad& still = roads[2].quads[0];
    for (const road_point* c : {&still.p, &still.q, &still.r, &still.s}) expect_corner(*c, 7, 7);
}

TEST_F(SectionQuads, StraightDiagonalRoadStaysOnItsOutline) {
    // Collinear points in whole centimetres at odd coordinates: in metres, consecutive
    // sections' slopes differ in their last bits.
    const int points = 300;
    point_list road;
    for (int k = 0; k < points; ++k)
        road.push_back({(1234567 + 3701 * k) / 100.0, (-765433 + 2903 * k) / 100.0});
    set_roads({road});

    build_quads();

    const double x0 = road.front().first, z0 = road.front().second;
    const double dx = road.back().first - x0, dz = road.back().second - z0;
    const double length = std::sqrt(dx * dx + dz * dz);
    auto check = [&](const road_point& c) {
        // Distance from the centreline, and position along it.
        const double across = ((c.x - x0) * dz - (c.z - z0) * dx) / length;
        const double along = ((c.x - x0) * dx + (c.z - z0) * dz) / length;
        EXPECT_NEAR(std::fabs(across), road_half_width, 1.0) << c.x << ", " << c.z;
        EXPECT_GT(along, -1.0);
        EXPECT_LT(along, length + 1.0);
    };
    for (int i = 0; i < points - 1; ++i) {
        check(roads[0].quads[i].p);
        check(roads[0].quads[i].q);
        check(roads[0].quads[i].r);
        check(roads[0].quads[i].s);
    }
}

TEST(ParallelTest, DirectionsOfTheJoints) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(directions_parallel(1, 0, 0, 1));
    EXPECT_TRUE(directions_parallel(1, 0, -3, 0));
    EXPECT_TRUE(directions_parallel(3, 4, 3e6, 4e6 + 1e-3));  // one part in 10^9
    EXPECT_FALSE(directions_parallel(3, 4, 3e6, 4e6 + 100));  // one part in 10^5
    EXPECT_TRUE(directions_parallel(0, 0, 1, 1));
    EXPECT_TRUE(directions_parallel(nan, 1, 1, 0));
}

TEST(JoinSectionQuads, LeftEdgesThatDoNotCrossKeepTheirCorners) {
    test::clear_road_table();
    road_count = 1;
    roads[0].point_count = 3;
    roads[0].section_count = 2;
    section_quad* q = roads[0].quads;
    // Right-hand edges meet at a right angle; the left-hand edges lie on one line.
    q[0] = {at(5, 0), at(-5, 0), at(-5, 50), at(5, 100)};
    q[1] = {at(0, 95), at(-5, 60), at(-5, 120), at(100, 95)};

    ::testing::internal::CaptureStdout();
    join_section_quads(0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    expect_corner(q[0].s, 5, 95);
    expect_corner(q[1].p, 5, 95);
    expect_corner(q[0].r, -5, 50);
    expect_corner(q[1].q, -5, 60);
}

// --- quad log

TEST(QuadLog, WorkedExampleAndShortRoads) {
    set_roads({{{0, 0}, {0, 100}, {100, 100}}, {{3, 4}}, {}});
    build_quads();

    EXPECT_EQ(format_quad_log(),
              "Road 0\n\n"
              "quad 0\n\n"
              "p = 5.000000  0.000000\n"
              "q = -5.000000  0.000000\n"
              "r = -5.000000  105.000000\n"
              "s = 5.000000  95.000000\n"
              "\n"
              "quad 1\n\n"
              "p = 5.000000  95.000000\n"
              "q = -5.000000  105.000000\n"
              "r = 100.000000  105.000000\n"
              "s = 100.000000  95.000000\n"
              "\n"
              "Road 1\n\n"
              "Road 2\n\n");

    set_roads({});
    EXPECT_EQ(format_quad_log(), "");
}

// --- land-cover outline

const std::string outline_head = le32({10}) + "\x80\x40\0\0"s;

TEST(LandCoverOutline, WorkedExample) {
    set_roads({{{0, 0}, {0, 100}, {100, 100}}});
    build_quads();

    const unsigned char expected[64] = {
        0x01, 0x00, 0x00, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x80, 0x40, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00,
        0x0c, 0xfe, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0x0c, 0xfe, 0xff, 0xff, 0x04, 0x29, 0x00, 0x00,
        0x10, 0x27, 0x00, 0x00, 0x04, 0x29, 0x00, 0x00, 0x10, 0x27, 0x00, 0x00, 0x1c, 0x25, 0x00, 0x00,
        0xf4, 0x01, 0x00, 0x00, 0x1c, 0x25, 0x00, 0x00, 0xf4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    EXPECT_TRUE(same_bytes(as_string(encode_land_cover_outline()),
                           std::string(reinterpret_cast<const char*>(expected), sizeof expected)));
}

TEST(LandCoverOutline, ShortRoadsAndTruncation) {
    set_roads({{}, {{1, 2}}, {{0, 0}, {1, 0}}});
    // One section, corners p, q, r, s set by hand; the file lists q, r, s, p, truncated
    // toward zero.
    roads[2].quads[0] = {at(-3.5355, 1.15), at(0.999, -0.999), at(2.5, 1e-9), at(-2.5, -21474836.0)};

    EXPECT_TRUE(same_bytes(as_string(encode_land_cover_outline()),
                           le32({3}) + outline_head + le32({0}) + outline_head + le32({0}) + outline_head +
                               le32({4, 99, -99, 250, 0, -250, -2147483600, -353, 114})));

    set_roads({});
    EXPECT_EQ(as_string(encode_land_cover_outline()), le32({0}));
}

}  // namespace
