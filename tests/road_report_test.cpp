// road_report run end to end in a fresh directory.

#include <gtest/gtest.h>

#include "test_support.hpp"

namespace {

using test::file_names;
using test::le32;
using test::read_file;
using test::run_program;
using test::same_bytes;
using test::write_file;

const std::string road_report = ROAD_REPORT_PATH;

const std::string success_console =
    "reading road file\nGrand.ROAD opened\nprinting road file\nROAD.log opened\n";

TEST(RoadReport, ListsTheRoadFile) {
    test::temp_dir dir;
    test::make_road_file(
        dir.path, {{1, 2, {{150, 225}, {300, 400}}}, {3, 4, {}}, {5, 6, {{-250, -25}, {10001, 10001}}}});

    test::run_result run = run_program(road_report, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, success_console);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(
        same_bytes(read_file(dir.path / "ROAD.log"),
                   "3 roads\n\n"
                   "road 0 has 2 points\n\n  1.500000   2.250000 \n  3.000000   4.000000 \n\n"
                   "road 1 has 0 points\n\n\n"
                   "road 2 has 2 points\n\n  -2.500000   -0.250000 \n  100.010002   100.010000 \n\n"));
    EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"Grand.ROAD", "ROAD.log"}));
}

TEST(RoadReport, ReplacesAnOldLog) {
    test::temp_dir dir;
    test::make_road_file(dir.path, {});
    write_file(dir.path / "ROAD.log", std::string(5000, 'x'));
    std::filesystem::permissions(dir.path / "ROAD.log", std::filesystem::perms(0640));
    // Windows keeps no more of them than whether the file may be written.
    const std::filesystem::perms old_permissions =
        std::filesystem::status(dir.path / "ROAD.log").permissions();
    // A file of the user's that happens to carry the temporary name is left alone.
    write_file(dir.path / "ROAD.log.tmp", "keep me");

    test::run_result run = run_program(road_report, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(read_file(dir.path / "ROAD.log"), "0 roads\n\n");
    EXPECT_EQ(read_file(dir.path / "ROAD.log.tmp"), "keep me");
    EXPECT_EQ(std::filesystem::status(dir.path / "ROAD.log").permissions(), old_permissions);
    EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"Grand.ROAD", "ROAD.log", "ROAD.log.tmp"}));
}

TEST(RoadReport, CannotOpenTheRoadFile) {
    test::temp_dir dir;

    test::run_result run = run_program(road_report, dir.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "reading road file\ncannot open Grand.ROAD\n");
    EXPECT_TRUE(file_names(dir.path).empty());
}

TEST(RoadReport, CannotOpenTheLog) {
    test::temp_dir dir;
    test::make_road_file(dir.path, {});
    // A directory where the log should go: it can be neither opened nor replaced.
    std::filesystem::create_directory(dir.path / "ROAD.log");

    test::run_result run = run_program(road_report, dir.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "reading road file\nGrand.ROAD opened\nprinting road file\ncannot open ROAD.log\n");
    EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"Grand.ROAD", "ROAD.log"}));
}

// Each bad road file ends the run with its message before the log is touched.
TEST(RoadReport, RefusesBadRoadFiles) {
    std::vector<std::int32_t> too_many_points{1, 0, 0, 513};
    too_many_points.resize(4 + 513 * 2, 0);
    struct {
        std::string bytes;
        const char* message;
    } cases[] = {
        {"", "Grand.ROAD: file ends before the road count"},
        {le32({-1}), "Grand.ROAD: road count -1 is negative"},
        {le32({257}), "Grand.ROAD: 257 roads, more than the 256 the road table holds"},
        {le32({2, 0, 0, 0}), "Grand.ROAD: file ends inside road 1"},
        {le32({1, 0, 0, 2, 1, 2, 3}), "Grand.ROAD: file ends inside road 0"},
        {le32({1, 0, 0, -1}), "Grand.ROAD: road 0 has a negative point count (-1)"},
        {le32({1, 0, 0, -2147483647 - 1}), "Grand.ROAD: road 0 has a negative point count (-2147483648)"},
        {le32(too_many_points), "Grand.ROAD: road 0 has 513 points, more than the 512 a road holds"},
        {le32({1, 0, 0, 2147483647}),
         "Grand.ROAD: road 0 has 2147483647 points, more than the 512 a road holds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        test::temp_dir dir;
        write_file(dir.path / "Grand.ROAD", c.bytes);
        write_file(dir.path / "ROAD.log", "old log\n");

        test::run_result run = run_program(road_report, dir.path);

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, std::string("reading road file\nGrand.ROAD opened\n") + c.message + "\n");
        EXPECT_EQ(read_file(dir.path / "ROAD.log"), "old log\n");
        EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"Grand.ROAD", "ROAD.log"}));
    }
}

TEST(RoadReport, RefusesEveryCutOfAValidFile) {
    std::string full = test::road_file_bytes({{1, 2, {{1, 2}, {3, 4}}}, {5, 6, {}}, {7, 8, {{9, 10}}}});
    for (std::size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        test::temp_dir dir;
        write_file(dir.path / "Grand.ROAD", full.substr(0, size));

        test::run_result run = run_program(road_report, dir.path);

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.out.find("Grand.ROAD: file ends "), std::string::npos) << run.out;
        EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"Grand.ROAD"}));
    }
}

TEST(RoadReport, FailedWriteKeepsTheOldLog) {
    if (test::no_file_size_limit) GTEST_SKIP() << test::no_file_size_limit;
    test::temp_dir dir;
    std::vector<test::road_fixture> many{
        {0, 0, std::vector<std::pair<std::int32_t, std::int32_t>>(200, {1, 1})}};
    test::make_road_file(dir.path, many);
    write_file(dir.path / "ROAD.log", "old log\n");

    test::run_result run = run_program(road_report, dir.path, {.arguments = {}, .file_size_limit = 2048});

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out,
              "reading road file\nGrand.ROAD opened\nprinting road file\nROAD.log opened\n"
              "cannot write ROAD.log (File too large)\n");
    EXPECT_EQ(read_file(dir.path / "ROAD.log"), "old log\n");
    EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"Grand.ROAD", "ROAD.log"}));
}

}  // namespace
