// road_outline run end to end in a fresh directory: roads cut at bridges, their quads,
// "quad_points_text.log" and "map.LCOV".

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "bridge_file.hpp"
#include "test_support.hpp"

namespace {

using namespace std::string_literals;
using test::file_names;
using test::le32;
using test::read_file;
using test::run_program;
using test::same_bytes;
using test::write_file;

const std::string road_outline = ROAD_OUTLINE_PATH;

std::string as_text(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

const std::string outline_head = le32({10}) + "\x80\x40\0\0"s;

/// The bend (0, 0), (0, 100), (100, 100), in centimetres.
const std::vector<test::road_fixture> bend{{4, 5, {{0, 0}, {0, 10000}, {10000, 10000}}}};

const std::string bend_listing =
    "Road 0\n\n0  0.000000  0.000000\n1  0.000000  100.000000\n2  100.000000  100.000000\n\n";

const std::vector<std::string> all_files{"Grand.ROAD", "bridge.dat", "map.LCOV", "quad_points_text.log"};

TEST(RoadOutline, BendWithoutBridges) {
    test::temp_dir dir;
    test::make_road_file(dir.path, bend);

    test::run_result run = run_program(road_outline, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out,
              "reading road file\nGrand.ROAD opened\ncannot open bridge.dat\n"
              "Original road count = 1\n" +
                  bend_listing + bend_listing +
                  "The new road count is 1\nquad_points_text.log opened\nmap.LCOV opened\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(read_file(dir.path / "quad_points_text.log"),
              "Road 0\n\n"
              "quad 0\n\np = 5.000000  0.000000\nq = -5.000000  0.000000\n"
              "r = -5.000000  105.000000\ns = 5.000000  95.000000\n\n"
              "quad 1\n\np = 5.000000  95.000000\nq = -5.000000  105.000000\n"
              "r = 100.000000  105.000000\ns = 100.000000  95.000000\n\n");
    EXPECT_TRUE(same_bytes(read_file(dir.path / "map.LCOV"), le32({1}) + outline_head +
                                                                 le32({6, -500, 0, -500, 10500, 10000, 10500,
                                                                       10000, 9500, 500, 9500, 500, 0})));
    EXPECT_EQ(file_names(dir.path),
              (std::vector<std::string>{"Grand.ROAD", "map.LCOV", "quad_points_text.log"}));
}

TEST(RoadOutline, RoadCutAtABridgeReplacesOldOutputs) {
    test::temp_dir dir;
    test::make_road_file(dir.path, {{1, 2, {{0, 0}, {1000, 0}, {2000, 0}}}});
    write_file(dir.path / "bridge.dat", encode_bridge_file({{12, 3, 0, 18, 3, 0, {0, 0, 0, 0}}}));
    write_file(dir.path / "quad_points_text.log", "old log\n");
    write_file(dir.path / "map.LCOV", "old outline");

    test::run_result run = run_program(road_outline, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out,
              "reading road file\nGrand.ROAD opened\nbridge.dat opened\nBridge data read in\n"
              "Original road count = 1\n"
              "Road 0\n\n0  0.000000  0.000000\n1  10.000000  0.000000\n2  20.000000  0.000000\n\n"
              "Bridge 0\n\nend1 = 12.000000  0.000000\nend2 = 18.000000  0.000000\n\n"
              "Road 0\n\n0  0.000000  0.000000\n1  10.000000  0.000000\n2  12.000000  0.000000\n\n"
              "Road 1\n\n0  18.000000  0.000000\n1  20.000000  0.000000\n\n"
              "The new road count is 2\n"
              "Road 0 Sections 0 and 1 are parallel\n\n"
              "quad_points_text.log opened\nmap.LCOV opened\n");
    // Along the x axis the corners' x is off by the cosine of a right angle as a double,
    // about 3e-16 m: printed as 0 with the sign it has, truncated to 0 cm.
    EXPECT_EQ(read_file(dir.path / "quad_points_text.log"),
              "Road 0\n\n"
              "quad 0\n\np = 0.000000  -5.000000\nq = -0.000000  5.000000\n"
              "r = 10.000000  5.000000\ns = 10.000000  -5.000000\n\n"
              "quad 1\n\np = 10.000000  -5.000000\nq = 10.000000  5.000000\n"
              "r = 12.000000  5.000000\ns = 12.000000  -5.000000\n\n"
              "Road 1\n\n"
              "quad 0\n\np = 18.000000  -5.000000\nq = 18.000000  5.000000\n"
              "r = 20.000000  5.000000\ns = 20.000000  -5.000000\n\n");
    EXPECT_TRUE(same_bytes(read_file(dir.path / "map.LCOV"),
                           le32({2}) + outline_head +
                               le32({6, 0, 500, 1000, 500, 1200, 500, 1200, -500, 1000, -500, 0, -500}) +
                               outline_head + le32({4, 1800, 500, 2000, 500, 2000, -500, 1800, -500})));
    EXPECT_EQ(file_names(dir.path), all_files);
}

// Each refusal ends the run with exit status 1 and one message, and leaves the old outputs
// as they were, with no temporary file beside them.
TEST(RoadOutline, RefusalsKeepTheOldOutputs) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::string one_bridge = le32({1}) + std::string(40, '\0');
    std::vector<test::road_fixture> many_roads(200, {0, 0, {{0, 0}, {1000, 0}}});
    const std::string bridge_read = "reading road file\nGrand.ROAD opened\nbridge.dat opened\n";
    struct {
        const char* name;
        std::vector<test::road_fixture> roads;
        std::string bridge_file;
        std::string console;
    } cases[] = {
        {"no bridge count", bend, "\1\0"s, bridge_read + "bridge.dat: file ends before the bridge count\n"},
        {"negative count", bend, le32({-1}), bridge_read + "bridge.dat: bridge count -1 is negative\n"},
        {"too many bridges", bend, le32({257}) + std::string(257 * 40, '\0'),
         bridge_read + "bridge.dat: 257 bridges, more than the 256 the bridge table holds\n"},
        {"cut short", bend, le32({3}) + std::string(2 * 40 + 39, '\0'),
         bridge_read + "bridge.dat: file ends inside bridge 2\n"},
        {"end that is not a number", bend,
         as_text(encode_bridge_file({{0, 0, 0, 0, 0, 0, {}}, {1, 0, 1, 2, 0, nan, {}}})),
         bridge_read + "bridge.dat: bridge 1 has an end that is not a finite number\n"},
        {"more pieces than roads", many_roads, as_text(encode_bridge_file({{5, 0, 0, 6, 0, 0, {}}})),
         bridge_read + "Bridge data read in\nOriginal road count = 200\n"
                       "bridge.dat: cutting the roads at the bridges makes more than the 256 roads the road "
                       "table holds\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        test::make_road_file(dir.path, c.roads);
        write_file(dir.path / "bridge.dat", c.bridge_file);
        write_file(dir.path / "quad_points_text.log", "old log\n");
        write_file(dir.path / "map.LCOV", "old outline");

        test::run_result run = run_program(road_outline, dir.path);

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, c.console);
        EXPECT_EQ(read_file(dir.path / "quad_points_text.log"), "old log\n");
        EXPECT_EQ(read_file(dir.path / "map.LCOV"), "old outline");
        EXPECT_EQ(file_names(dir.path), all_files);
    }
}

TEST(RoadOutline, OutputFailuresKeepTheOldOutputs) {
    // A road along z at x = 21474836 m: its right-hand edge at x + 5 m has no int32 centimetres.
    const std::vector<test::road_fixture> far_east{{0, 0, {{2147483600, 0}, {2147483600, 10000}}}};
    const std::string far_east_listing =
        "Road 0\n\n0  21474836.000000  0.000000\n1  21474836.000000  100.000000\n\n";
    // A zigzag whose quad log is longer than its console output, which goes to a file too.
    test::road_fixture zigzag{0, 0, {}};
    for (std::int32_t k = 0; k < 20; ++k) zigzag.points.push_back({k * 1000, k % 2 * 1000});
    const std::string split =
        "reading road file\nGrand.ROAD opened\ncannot open bridge.dat\n"
        "Original road count = 1\n";
    struct {
        const char* name;
        std::vector<test::road_fixture> roads;
        bool outline_is_a_folder;
        long file_size_limit;
        std::string console;
        bool log_replaced;
    } cases[] = {
        {"corner beyond centimetres", far_east, false, 0,
         split + far_east_listing + far_east_listing +
             "The new road count is 1\nquad_points_text.log opened\n"
             "map.LCOV: the outline of road 0 has a corner that cannot be stored in centimetres\n",
         true},
        {"outline name taken by a folder", bend, true, 0,
         split + bend_listing + bend_listing +
             "The new road count is 1\nquad_points_text.log opened\nmap.LCOV\n",
         true},
        {"disk full", {zigzag}, false, 1600, "", false},
    };
    bool skipped = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file_size_limit > 0 && test::no_file_size_limit) {
            skipped = true;
            continue;
        }
        test::temp_dir dir;
        test::make_road_file(dir.path, c.roads);
        write_file(dir.path / "quad_points_text.log", "old log\n");
        if (c.outline_is_a_folder) {
            std::filesystem::create_directory(dir.path / "map.LCOV");
        } else {
            write_file(dir.path / "map.LCOV", "old outline");
        }

        test::run_result run =
            run_program(road_outline, dir.path, {.arguments = {}, .file_size_limit = c.file_size_limit});

        EXPECT_EQ(run.exit_code, 1);
        if (c.console.empty()) {
            EXPECT_TRUE(
                run.out.ends_with("\nquad_points_text.log opened\n"
                                  "cannot write quad_points_text.log (File too large)\n"))
                << run.out;
        } else {
            EXPECT_EQ(run.out, c.console);
        }
        // The quad log is complete before the outline file is begun.
        EXPECT_EQ(read_file(dir.path / "quad_points_text.log") != "old log\n", c.log_replaced);
        if (!c.outline_is_a_folder) {
            EXPECT_EQ(read_file(dir.path / "map.LCOV"), "old outline");
        }
        EXPECT_EQ(file_names(dir.path),
                  (std::vector<std::string>{"Grand.ROAD", "map.LCOV", "quad_points_text.log"}));
    }
    if (skipped) GTEST_SKIP() << "the disk-full case: " << test::no_file_size_limit;
}

}  // namespace
