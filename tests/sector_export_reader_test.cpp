// An exported sector read back by third-party software (osgconv_check.hpp). Skipped where
// osgconv is not installed.

#include <gtest/gtest.h>

#include "osgconv_check.hpp"
#include "sector_export_fixtures.hpp"

namespace {

constexpr int columns = 20;
constexpr int rows = 15;

int point_number(int row, int column) { return row * columns + column; }

/// A sector of 300 points on a 20 x 15 grid, with strips along the first ten rows of cells,
/// fans over the cells of the next four, a few polygons too small to give a triangle, and
/// type runs of several strip and fan types.
terrain_file_sector grid_sector() {
    terrain_file_sector sector;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            std::uint16_t height = static_cast<std::uint16_t>((row * 397 + column * 1153) % 32768);
            if ((row + column) % 7 == 0) height |= 0x8000;
            sector.points.push_back({height, static_cast<std::int16_t>(column * 250 - 2000),
                                     static_cast<std::int16_t>(row * -180 + 1000)});
        }
    }
    const std::uint8_t strip_types[] = {1, 3, 4, 8, 25, 43};
    const std::uint8_t fan_types[] = {2, 9, 16, 24, 46};
    sector.type_runs.push_back(29);  // run 0, strip
    for (int row = 0; row < 10; ++row) {
        // Rows 0 and 1 stay in run 0; every later row opens a run.
        sector.polygon_codes.push_back(static_cast<std::uint8_t>((row >= 2 ? 0x80 : 0) | 2 * columns));
        if (row >= 2) sector.type_runs.push_back(strip_types[row % 6]);
        for (int column = 0; column < columns; ++column) {
            sector.vertex_indices.push_back(static_cast<std::uint16_t>(point_number(row, column)));
            sector.vertex_indices.push_back(static_cast<std::uint16_t>(point_number(row + 1, column)));
        }
        if (row == 4) {
            // Nothing to draw, yet its entries are stepped over.
            sector.polygon_codes.push_back(2);
            sector.vertex_indices.insert(sector.vertex_indices.end(), {299, 298});
        }
    }
    for (int row = 10; row < 14; ++row) {
        for (int column = 0; column + 1 < columns; ++column) {
            bool new_run = column % 5 == 0;
            sector.polygon_codes.push_back(static_cast<std::uint8_t>((new_run ? 0x80 : 0) | 4));
            if (new_run) sector.type_runs.push_back(fan_types[(row + column) % 5]);
            sector.vertex_indices.insert(sector.vertex_indices.end(),
                                         {static_cast<std::uint16_t>(point_number(row, column)),
                                          static_cast<std::uint16_t>(point_number(row, column + 1)),
                                          static_cast<std::uint16_t>(point_number(row + 1, column + 1)),
                                          static_cast<std::uint16_t>(point_number(row + 1, column))});
        }
    }
    sector.polygon_codes.push_back(0x80);
    sector.type_runs.push_back(0);
    return sector;
}

TEST(SectorExportReader, OsgconvReadsTheObject) {
    const std::string osgconv = sector_test::find_osgconv();
    if (osgconv.empty()) GTEST_SKIP() << "osgconv is not installed";

    const terrain_file_sector sector = grid_sector();
    test::temp_dir dir;
    sector_test::write_terrain(dir.path, sector_test::single_sector_map(sector));
    ASSERT_EQ(sector_test::run_export(dir.path, {"0", "0"}).exit_code, 0);

    std::size_t triangles = 0;
    sector_test::expect_osgconv_reads(osgconv, dir.path, "000x000.lwo", sector, triangles);
    // Ten strips of 38 triangles and 76 cells of two.
    EXPECT_EQ(triangles, 10u * 38 + 76 * 2);
}

}  // namespace
