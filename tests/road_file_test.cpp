#include "road_file.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "road_table.hpp"
#include "test_support.hpp"

namespace {

using test::le32;
using test::road_file_bytes;

byte_buffer as_buffer(const std::string& bytes) { return byte_buffer(bytes.begin(), bytes.end()); }

std::string as_string(const byte_buffer& bytes) { return std::string(bytes.begin(), bytes.end()); }

class RoadFile : public ::testing::Test {
   protected:
    void SetUp() override { test::clear_road_table(); }
};

TEST_F(RoadFile, LoadsCentimetresAsMetres) {
    decode_road_file(as_buffer(road_file_bytes({{7, -8, {{-250, 1234}, {100001, -1}}}, {1, 2, {}}})));

    ASSERT_EQ(road_count, 2);
    EXPECT_EQ(roads[0].attribute_1, 7);
    EXPECT_EQ(roads[0].attribute_2, -8);
    EXPECT_EQ(roads[0].point_count, 2);
    EXPECT_EQ(roads[0].section_count, 1);
    EXPECT_EQ(roads[0].points[0].x, -2.5);
    EXPECT_EQ(roads[0].points[0].z, 1234 / 100.0);
    EXPECT_EQ(roads[0].points[1].x, 100001 / 100.0);
    EXPECT_EQ(roads[0].points[1].z, -1 / 100.0);
    // A road without points has section count -1.
    EXPECT_EQ(roads[1].point_count, 0);
    EXPECT_EQ(roads[1].section_count, -1);
}

TEST_F(RoadFile, EmptyFileLoadsAsEmptyTable) {
    road_count = 5;
    decode_road_file(as_buffer(le32({0})));
    EXPECT_EQ(road_count, 0);
}

TEST_F(RoadFile, WritesMarkerRoadWithAttributesOfLastRoad) {
    road_count = 3;
    for (int i = 0; i < 3; ++i) {
        roads[i].attribute_1 = 10 + i;
        roads[i].attribute_2 = 20 + i;
    }
    roads[1].point_count = 1;
    roads[1].points[0] = {12.34, -0.99, 0};
    EXPECT_TRUE(test::same_bytes(as_string(encode_road_file()),
                                 le32({4, 10, 20, 0, 11, 21, 1, 1234, -99, 12, 22, 0, 12, 22, 0})));

    markers[0] = {10, -20};
    markers[1] = {300, 45};
    marker_count = 2;
    road_count = 1;
    EXPECT_TRUE(test::same_bytes(as_string(encode_road_file()),
                                 le32({2, 10, 20, 0, 10, 20, 2, 1000, -2000, 30000, 4500})));
}

TEST_F(RoadFile, MarkerRoadOfEmptyTableHasZeroAttributes) {
    markers[0] = {-1, 2};
    marker_count = 1;
    EXPECT_TRUE(test::same_bytes(as_string(encode_road_file()), le32({1, 0, 0, 1, -100, 200})));
}

TEST_F(RoadFile, LoadWriteLoadKeepsEveryCentimetre) {
    std::string original = road_file_bytes(
        {{3, 4, {{1234, -1234}, {99, -99}, {-2147483648, 2147483647}}}, {5, 6, {}}, {-7, 8, {{1, 10001}}}});
    decode_road_file(as_buffer(original));
    std::string written = as_string(encode_road_file());

    // The same roads, then the marker road with the last road's words and no points.
    EXPECT_TRUE(test::same_bytes(written.substr(4, original.size() - 4), original.substr(4)));
    EXPECT_TRUE(test::same_bytes(written.substr(0, 4), le32({4})));
    EXPECT_TRUE(test::same_bytes(written.substr(original.size()), le32({-7, 8, 0})));

    decode_road_file(as_buffer(written));
    EXPECT_EQ(road_count, 4);
    EXPECT_EQ(roads[3].point_count, 0);
}

TEST(Centimetres, RoundToNearestAndRefuseWhatDoesNotFit) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        double metres;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {12.34, 1234},
        {12.99, 1299},
        {-12.34, -1234},
        {0.99, 99},
        {1.15, 115},  // 1.15 * 100.0 is just below 115
        {-0.004, 0},
        {21474836.47, 2147483647},
        {-21474836.48, -2147483647 - 1},
        {21474836.48, std::nullopt},
        {nan, std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.metres);
        EXPECT_EQ(centimetres_from_metres(c.metres), c.expected);
    }
}

}  // namespace
