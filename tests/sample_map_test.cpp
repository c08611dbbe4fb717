// The sample map: the demo flow run end to end, the same bytes from the same arguments, and
// a sample sector read back by a real reader.

#include "sample_map.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "osgconv_check.hpp"
#include "sector_export_fixtures.hpp"
#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::run_program;

const std::string sample_map_program = SAMPLE_MAP_PATH;

/// Every file below `dir` with its bytes, by path relative to `dir`.
std::vector<std::pair<std::string, std::string>> tree_of(const fs::path& dir) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file())
            files.push_back({fs::relative(entry.path(), dir).string(), read_file(entry.path())});
    }
    std::sort(files.begin(), files.end());
    return files;
}

test::run_result make_sample(const fs::path& dir, int scale) {
    return run_program(sample_map_program, dir,
                       {.arguments = {dir.string(), "--scale", std::to_string(scale)}});
}

TEST(SampleMap, SameArgumentsGiveTheSameBytes) {
    test::temp_dir first, second, larger;
    ASSERT_EQ(make_sample(first.path, 2).exit_code, 0);
    ASSERT_EQ(make_sample(second.path, 2).exit_code, 0);
    ASSERT_EQ(make_sample(larger.path, 3).exit_code, 0);

    const auto files = tree_of(first.path);
    EXPECT_EQ(files.size(), 13u);
    EXPECT_TRUE(files == tree_of(second.path));
    EXPECT_FALSE(files == tree_of(larger.path));
}

TEST(SampleMap, RefusesBadArguments) {
    test::temp_dir dir;
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{},
                                                      {"a", "b"},
                                                      {"a", "--scale"},
                                                      {"a", "--scale", "0"},
                                                      {"a", "--scale", "10001"},
                                                      {"a", "--scale", "2x"},
                                                      {"a", "--size", "2"}}) {
        test::run_result run = run_program(sample_map_program, dir.path, {.arguments = arguments});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out,
                  "usage: sample_map DIR [--scale N] [--grid G]  (N from 1 to 10000, default 1; G sectors "
                  "per side, 1 "
                  "to 400, default from N)\n");
    }
    EXPECT_TRUE(test::file_names(dir.path).empty());
}

// At every scale the roads fit the road tool with room for the marker road and the cuts at
// the bridges; the generator itself refuses a bridge that would not cut exactly once.
TEST(SampleMap, RoadsStayWithinTheRoadTable) {
    for (int scale : {1, 7, 100, 10000}) {
        SCOPED_TRACE(scale);
        const std::vector<sample_road> roads = sample_roads(make_sample_layout(scale));
        EXPECT_LE(roads.size() + 1 + sample_bridge_count, 256u);
        for (const sample_road& road : roads) {
            EXPECT_GE(road.points.size(), 2u);
            EXPECT_LE(road.points.size(), 512u);
        }
    }
    EXPECT_EQ(sample_roads(make_sample_layout(10000)).size(), 253u);
}

TEST(SampleMap, SectorReadsBackInARealReader) {
    const std::string osgconv = sector_test::find_osgconv();
    if (osgconv.empty()) GTEST_SKIP() << "osgconv is not installed";
    test::temp_dir dir;
    ASSERT_EQ(make_sample(dir.path, 1).exit_code, 0);
    ASSERT_EQ(sector_test::run_export(dir.path, {"2", "3"}).exit_code, 0);

    std::size_t triangles = 0;
    sector_test::expect_osgconv_reads(osgconv, dir.path, "002x003.lwo",
                                      sample_sector(make_sample_layout(1), 2, 3), triangles);
    // Every cell of the 16 x 16 grid of points gives two triangles.
    EXPECT_EQ(triangles, 15u * 15 * 2);
}

// The demo flow on the smallest scale, with a build of road_merge whose drive C: is the
// sample folder's drive_c. Every program must read the files of the sample map without a
// message and write its outputs.
TEST(SampleMapDemo, EveryProgramRunsOnTheSampleMap) {
#if defined(_WIN32)
    GTEST_SKIP() << "the demo flow is a bash script, which a Windows test build cannot run";
#endif
    const fs::path map = SAMPLE_DEMO_DIR;
    test::temp_dir work;
    test::run_result flow = run_program(
        "/bin/bash", work.path,
        {.arguments = {SOURCE_DIR "/scripts/demo-flow", BUILD_DIR, map.string(), ROAD_MERGE_SAMPLE_PATH}});
    ASSERT_EQ(flow.exit_code, 0) << flow.out << flow.err;

    auto console = [&map](const std::string& label) { return read_file(map / "console" / (label + ".txt")); };
    const sample_layout layout = make_sample_layout(1);
    const std::vector<sample_road> roads = sample_roads(layout);
    const std::string road_count = std::to_string(roads.size());

    EXPECT_EQ(console("road_report"),
              "reading road file\nGrand.ROAD opened\nprinting road file\nROAD.log opened\n");
    const std::string outline = console("road_outline");
    EXPECT_TRUE(
        outline.starts_with("reading road file\nGrand.ROAD opened\nbridge.dat opened\nBridge data read in\n"
                            "Original road count = " +
                            road_count + "\n"))
        << outline;
    EXPECT_NE(
        outline.find("\nThe new road count is " + std::to_string(roads.size() + sample_bridge_count) + "\n"),
        std::string::npos)
        << outline;
    EXPECT_TRUE(outline.ends_with("\nquad_points_text.log opened\nmap.LCOV opened\n")) << outline;
    EXPECT_EQ(console("road_net_report"),
              "road_node_text.log opened\nroad_path_text.log opened\nROADS.NDE opened\nROADS.WP opened\n"
              "roads.dat opened\nroad_data_text.log opened\n");
    for (int row = 0; row < layout.grid_side; ++row) {
        for (int column = 0; column < layout.grid_side; ++column) {
            char name[32];
            std::snprintf(name, sizeof name, "%03dx%03d.lwo", row, column);
            EXPECT_EQ(console("sector_export_" + std::to_string(row) + "_" + std::to_string(column)),
                      sector_test::loaded_console + name + " opened ...\n");
            EXPECT_TRUE(fs::is_regular_file(map / name));
        }
    }

    // The merge appends the screenshot markers as one more road, which the report lists last.
    const std::vector<std::pair<double, double>> markers = sample_marker_positions(layout);
    std::string merge_console = "reading road file\nGrand.ROAD opened\n";
    for (std::size_t n = 0; n < markers.size(); ++n) {
        char path[64];
        std::snprintf(path, sizeof path, "/Hollowmere/vantrel/scrnshot/IMAGE%03zu.TXT", n);
        merge_console += (map / "drive_c").string() + path + " opened\n";
    }
    EXPECT_EQ(console("road_merge"), merge_console + "writing road file\nGrand.ROAD opened\n");
    std::string marker_road = "road " + road_count + " has " + std::to_string(markers.size()) + " points\n\n";
    for (auto [x, z] : markers) {
        char line[64];
        std::snprintf(line, sizeof line, "  %f   %f \n", x, z);
        marker_road += line;
    }
    EXPECT_TRUE(read_file(map / "ROAD.log").ends_with(marker_road + "\n")) << read_file(map / "ROAD.log");
    EXPECT_TRUE(read_file(map / "ROAD.log").starts_with(std::to_string(roads.size() + 1) + " roads\n\n"));
}

}  // namespace
