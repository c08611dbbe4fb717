// Exact bytes of exported sectors, against objects encoded from the format description.

#include <gtest/gtest.h>

#include "sector_export_fixtures.hpp"

namespace {

using namespace std::string_literals;
using sector_test::expected_lwob;
using sector_test::export_sector;
using sector_test::lwob_point;
using sector_test::lwob_triangle;
using sector_test::single_sector_map;

/// `count` points (i, 2 i, -i): distinct, easy to tell apart in the output.
std::vector<terrain_file_point> numbered_points(int count) {
    std::vector<terrain_file_point> points;
    for (int i = 0; i < count; ++i) {
        points.push_back(
            {static_cast<std::uint16_t>(2 * i), static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i)});
    }
    return points;
}

std::vector<lwob_point> numbered_lwob_points(int count) {
    std::vector<lwob_point> points;
    for (int i = 0; i < count; ++i) points.push_back({i, 2 * i, -i});
    return points;
}

TEST(SectorExportBytes, SectorWithoutPointsOrPolygons) {
    std::string bytes = export_sector(single_sector_map({}), 0, 0);

    ASSERT_EQ(bytes.size(), 2598u);
    // Form size 2590, the SRFS size 488 and the first name.
    EXPECT_EQ(bytes.substr(0, 20), "FORM\0\0\x0a\x1eLWOBSRFS\0\0\x01\xe8"s);
    EXPECT_EQ(bytes.substr(20, 8), "0000001\0"s);
    // The first surface chunk: type 1 with colour 4, 103, 115 and luminosity 170.
    const std::size_t first_surface = 2598 - 61 * 34;
    EXPECT_EQ(bytes.substr(first_surface, 34),
              "SURF\0\0\0\x1a"s + "0000001\0"s + "COLR\0\x04\x04\x67\x73\0LUMI\0\x02\0\xaa"s);
    // Types 47 and 61 are black.
    EXPECT_EQ(bytes.substr(first_surface + 46 * 34, 26),
              "SURF\0\0\0\x1a"s + "0000047\0"s + "COLR\0\x04\0\0\0\0"s);
    EXPECT_EQ(bytes.substr(2598 - 34, 26), "SURF\0\0\0\x1a"s + "0000061\0"s + "COLR\0\x04\0\0\0\0"s);
    EXPECT_TRUE(test::same_bytes(bytes, expected_lwob({}, {})));
}

TEST(SectorExportBytes, PointsKeepTheirTerrainUnits) {
    terrain_file_sector sector;
    // Bit 15 of a height word is masked off: 0x8005 is height 5.
    sector.points = {{0x8005, -3, 4}, {0xFFFF, -32768, 32767}, {0x7FFF, 0, -1}, {0, 1, 0}};
    EXPECT_TRUE(
        test::same_bytes(export_sector(single_sector_map(sector), 0, 0),
                         expected_lwob({{-3, 5, 4}, {-32768, 32767, 32767}, {0, 32767, -1}, {1, 0, 0}}, {})));
}

// Polygons of every size under both rules, the worked example of a five-vertex polygon,
// and the two widths of vertex entries.
TEST(SectorExportBytes, TrianglesOfFansAndStrips) {
    struct {
        const char* name;
        int points;
        std::vector<std::uint8_t> codes;
        std::vector<std::uint16_t> vertices;
        std::uint8_t type;
        std::vector<lwob_triangle> triangles;
    } cases[] = {
        // clang-format off
        {"fan, 0 to 5 vertices", 6, {0, 1, 2, 3, 5}, {5, 4, 3, 0, 1, 2, 1, 2, 3, 4, 5}, 2,
         {{0, 1, 2, 2}, {1, 2, 3, 2}, {1, 3, 4, 2}, {1, 4, 5, 2}}},
        {"strip, 0 to 5 vertices", 6, {0, 1, 2, 3, 5}, {5, 4, 3, 0, 1, 2, 1, 2, 3, 4, 5}, 1,
         {{0, 1, 2, 1}, {1, 2, 3, 1}, {2, 4, 3, 1}, {3, 4, 5, 1}}},
        {"fan example", 15, {5}, {10, 11, 12, 13, 14}, 24,
         {{10, 11, 12, 24}, {10, 12, 13, 24}, {10, 13, 14, 24}}},
        {"strip example", 15, {5}, {10, 11, 12, 13, 14}, 31,
         {{10, 11, 12, 31}, {11, 13, 12, 31}, {12, 13, 14, 31}}},
        {"256 points, byte entries", 256, {4}, {255, 0, 128, 1}, 9, {{255, 0, 128, 9}, {255, 128, 1, 9}}},
        {"257 points, 16-bit entries", 257, {4}, {256, 0, 255, 1}, 9, {{256, 0, 255, 9}, {256, 255, 1, 9}}},
        {"a black type", 3, {3}, {2, 1, 0}, 61, {{2, 1, 0, 61}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        terrain_file_sector sector;
        sector.points = numbered_points(c.points);
        sector.polygon_codes = c.codes;
        sector.vertex_indices = c.vertices;
        sector.type_runs = {c.type};
        EXPECT_TRUE(test::same_bytes(export_sector(single_sector_map(sector), 0, 0),
                                     expected_lwob(numbered_lwob_points(c.points), c.triangles)));
    }
}

// Each polygon takes the type of the last run opened at or before it; a run opened by the
// first polygon skips entry 0.
TEST(SectorExportBytes, TypeRuns) {
    struct {
        const char* name;
        std::vector<std::uint8_t> codes;
        std::vector<std::uint8_t> runs;
        std::vector<int> types;
    } cases[] = {
        {"runs opened later", {3, 3, 0x83, 3, 0x83}, {5, 9, 13}, {5, 5, 9, 9, 13}},
        {"run opened by the first polygon", {0x83, 3, 0x83}, {99, 2, 45}, {2, 2, 45}},
        {"a run of a polygon without triangles", {3, 0x82, 3}, {7, 8}, {7, 8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        terrain_file_sector sector;
        sector.points = numbered_points(4);
        sector.polygon_codes = c.codes;
        sector.type_runs = c.runs;
        std::vector<lwob_triangle> triangles;
        for (std::uint8_t code : c.codes) {
            if ((code & 0x7F) == 3) {
                sector.vertex_indices.insert(sector.vertex_indices.end(), {0, 1, 3});
                triangles.push_back({0, 1, 3, c.types[triangles.size()]});
            } else {
                sector.vertex_indices.insert(sector.vertex_indices.end(), {3, 3});
            }
        }
        EXPECT_TRUE(test::same_bytes(export_sector(single_sector_map(sector), 0, 0),
                                     expected_lwob(numbered_lwob_points(4), triangles)));
    }
}

// Records run row after row: with three columns, sector (1, 0) is the fourth record.
TEST(SectorExportBytes, ExportsTheSectorAtRowAndColumn) {
    terrain_map map = sector_test::empty_grid(2, 3);
    for (std::size_t i = 0; i < map.sectors.size(); ++i) {
        map.sectors[i].points = {{static_cast<std::uint16_t>(i), 0, 0}};
    }
    EXPECT_TRUE(test::same_bytes(export_sector(map, 1, 0), expected_lwob({{0, 3, 0}}, {})));
    EXPECT_TRUE(test::same_bytes(export_sector(map, 0, 2), expected_lwob({{0, 2, 0}}, {})));
}

}  // namespace
