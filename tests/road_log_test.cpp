#include "road_log.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "road_table.hpp"
#include "test_support.hpp"

namespace {

struct point {
    double x;
    double z;
};

void set_roads(const std::vector<std::vector<point>>& table) {
    test::clear_road_table();
    road_count = static_cast<std::int32_t>(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        roads[i].point_count = static_cast<std::int32_t>(table[i].size());
        roads[i].section_count = roads[i].point_count - 1;
        for (std::size_t j = 0; j < table[i].size(); ++j)
            roads[i].points[j] = {table[i][j].x, table[i][j].z, 0};
    }
}

TEST(RoadLog, Text) {
    struct {
        const char* name;
        std::vector<std::vector<point>> roads;
        const char* expected;
    } cases[] = {
        {"two points",
         {{{1.5, 2.25}, {3, 4}}},
         "1 roads\n\nroad 0 has 2 points\n\n  1.500000   2.250000 \n  3.000000   4.000000 \n\n"},
        {"x goes through a float, z does not",
         {{{100.01, 100.01}}},
         "1 roads\n\nroad 0 has 1 points\n\n  100.010002   100.010000 \n\n"},
        {"negative", {{{-2.5, -0.25}}}, "1 roads\n\nroad 0 has 1 points\n\n  -2.500000   -0.250000 \n\n"},
        {"empty table", {}, "0 roads\n\n"},
        {"road without points",
         {{}, {{0, 0}}},
         "2 roads\n\nroad 0 has 0 points\n\n\nroad 1 has 1 points\n\n  0.000000   0.000000 \n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set_roads(c.roads);
        EXPECT_EQ(format_road_log(), c.expected);
    }
}

}  // namespace
