// Bridges: the bridge file reader, the box test and the cut of roads at bridges.

#include "bridges.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "bridge_file.hpp"
#include "road_table.hpp"
#include "test_support.hpp"

namespace {

using point_list = std::vector<std::pair<double, double>>;

struct bridge_ends {
    float x1, z1, x2, z2;
};

void set_table(const std::vector<point_list>& table, const std::vector<bridge_ends>& ends) {
    test::clear_road_table();
    road_count = static_cast<std::int32_t>(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        road_record& road = roads[i];
        road.attribute_1 = static_cast<std::int32_t>(i) + 1;
        road.point_count = static_cast<std::int32_t>(table[i].size());
        road.section_count = road.point_count - 1;
        for (std::size_t j = 0; j < table[i].size(); ++j) {
            road.points[j].x = table[i][j].first;
            road.points[j].z = table[i][j].second;
        }
    }
    bridge_count = static_cast<std::int32_t>(ends.size());
    for (std::size_t k = 0; k < ends.size(); ++k) {
        bridges[k].end1 = {ends[k].x1, 0, ends[k].z1};
        bridges[k].end2 = {ends[k].x2, 0, ends[k].z2};
    }
}

std::vector<point_list> road_table() {
    std::vector<point_list> table;
    for (std::int32_t i = 0; i < road_count; ++i) {
        EXPECT_EQ(roads[i].section_count, roads[i].point_count - 1);
        point_list points;
        for (std::int32_t j = 0; j < roads[i].point_count; ++j) {
            points.push_back({roads[i].points[j].x, roads[i].points[j].z});
        }
        table.push_back(points);
    }
    return table;
}

/// Splits and returns the console listing.
std::string split() {
    ::testing::internal::CaptureStdout();
    split_roads_at_bridges();
    return ::testing::internal::GetCapturedStdout();
}

TEST(PointInBox, BoundsIncluded) {
    struct {
        bridge_end a, b, c;
        int inside;
    } cases[] = {
        {{0, 0, 0}, {5, 0, 5}, {10, 0, 10}, 1},
        {{10, 0, 10}, {5, 0, 5}, {0, 0, 0}, 1},   // corners in either order
        {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, 1},  // on a corner
        {{0, 0, 0}, {10.001f, 0, 5}, {10, 0, 10}, 0},
        {{0, 0, 0}, {5, 0, -0.001f}, {10, 0, 10}, 0},
        {{0, 0, 3}, {5, 0, 3}, {10, 0, 3}, 1},  // a box of no height holds only its own z
        {{0, 0, 3}, {5, 0, 3.0000002f}, {10, 0, 3}, 0},
        {{0, 0, 0}, {1, 99, 1}, {2, 0, 2}, 1},  // y plays no part
    };
    for (const auto& c : cases) EXPECT_EQ(point_in_box(c.a, c.b, c.c), c.inside) << c.b.x << ", " << c.b.z;
}

TEST(SplitRoads, Cuts) {
    struct {
        const char* name;
        std::vector<point_list> roads;
        std::vector<bridge_ends> bridges;
        std::vector<point_list> pieces;
    } cases[] = {
        {"one cut",
         {{{0, 0}, {10, 0}, {20, 0}}},
         {{12, 0, 18, 0}},
         {{{0, 0}, {10, 0}, {12, 0}}, {{18, 0}, {20, 0}}}},
        {"end1 at an inner point cuts twice",
         {{{0, 0}, {10, 0}, {20, 0}}},
         {{10, 0, 18, 0}},
         {{{0, 0}, {10, 0}}, {{18, 0}, {10, 0}, {10, 0}}, {{18, 0}, {20, 0}}}},
        {"two bridges in one section",
         {{{0, 0}, {100, 0}}},
         {{20, 0, 30, 0}, {60, 0, 70, 0}},
         {{{0, 0}, {20, 0}}, {{30, 0}, {60, 0}}, {{70, 0}, {100, 0}}}},
        {"end1 in no box, end2 on another road",
         {{{0, 0}, {10, 0}}, {{0, 50}, {10, 50}}},
         {{5, 1, 5, 50}},
         {{{0, 0}, {10, 0}}, {{0, 50}, {10, 50}}}},
        {"the box of a diagonal section is coarse",
         {{{0, 0}, {10, 10}}},
         {{9, 1, 0, 0}},
         {{{0, 0}, {9, 1}}, {{0, 0}, {10, 10}}}},
        {"roads of one and of no point",
         {{{5, 5}}, {}, {{0, 0}, {10, 0}}},
         {{5, 5, 7, 7}, {5, 0, 6, 0}},
         {{{5, 5}}, {}, {{0, 0}, {5, 0}}, {{6, 0}, {10, 0}}}},
        {"no bridge", {{{1, 2}, {3, 4}}, {}}, {}, {{{1, 2}, {3, 4}}, {}}},
        {"no road", {}, {{1, 1, 2, 2}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_table(c.roads, c.bridges);
        split();
        EXPECT_EQ(road_table(), c.pieces);
    }
}

TEST(SplitRoads, ListingAndAttributes) {
    set_table({{{0, 0}, {10, 0}, {20, 0}}}, {{12, 0, 18, 0.5f}});

    EXPECT_EQ(split(),
              "Original road count = 1\n"
              "Road 0\n\n0  0.000000  0.000000\n1  10.000000  0.000000\n2  20.000000  0.000000\n\n"
              "Bridge 0\n\nend1 = 12.000000  0.000000\nend2 = 18.000000  0.500000\n\n"
              "Road 0\n\n0  0.000000  0.000000\n1  10.000000  0.000000\n2  12.000000  0.000000\n\n"
              "Road 1\n\n0  18.000000  0.500000\n1  20.000000  0.000000\n\n"
              "The new road count is 2\n");
    // Pieces keep the attribute words of the slots they land in.
    EXPECT_EQ(roads[0].attribute_1, 1);
    EXPECT_EQ(roads[1].attribute_1, 0);
}

TEST(BridgeFile, DecodesEndsAndDropsTheRest) {
    test::clear_road_table();
    bridges[2].end1.x = 99;  // beyond the count: left alone
    decode_bridge_file(encode_bridge_file(
        {{1.5f, 7, -2.25f, 3, 8, 4, {1, 2, 3, 4}}, {-1e6f, 0, 1e-3f, 0, 0, 0, {0xFFFFFFFF, 0, 0, 0}}}));

    ASSERT_EQ(bridge_count, 2);
    EXPECT_EQ(bridges[0].end1.x, 1.5f);
    EXPECT_EQ(bridges[0].end1.y, 0.0f);
    EXPECT_EQ(bridges[0].end1.z, -2.25f);
    EXPECT_EQ(bridges[0].end2.x, 3.0f);
    EXPECT_EQ(bridges[0].end2.z, 4.0f);
    EXPECT_EQ(bridges[1].end1.x, -1e6f);
    EXPECT_EQ(bridges[1].end1.z, 1e-3f);
    EXPECT_EQ(bridges[0].spare[0], 0);
    EXPECT_EQ(bridges[2].end1.x, 99.0f);
}

}  // namespace
