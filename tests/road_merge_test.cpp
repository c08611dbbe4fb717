// road_merge run end to end, built with its drive C: in the test tree.

#include <gtest/gtest.h>

#include <cstdio>

#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;
using test::file_names;
using test::le32;
using test::read_file;
using test::road_fixture;
using test::run_program;
using test::same_bytes;
using test::write_file;

const std::string road_merge = ROAD_MERGE_PATH;
const std::string road_report = ROAD_REPORT_PATH;
// The drive as the program sees it: on Windows the paths it prints are Windows paths.
const std::string drive = TEST_DRIVE_ROOT;

const std::vector<std::string> only_road_file{"Grand.ROAD"};

class RoadMerge : public ::testing::Test {
   protected:
    fs::path source_dir = fs::path(drive) / "aGrand";
    fs::path shots_dir = fs::path(drive) / "Hollowmere" / "vantrel" / "scrnshot";
    test::temp_dir work;

    void SetUp() override {
        fs::remove_all(drive);
        fs::create_directories(source_dir);
        fs::create_directories(shots_dir);
    }
    void TearDown() override { fs::remove_all(drive); }

    /// The path of marker file n as the program prints it.
    static std::string shot_path(int n) {
        char name[32];
        std::snprintf(name, sizeof name, "IMAGE%03d.TXT", n);
        return (fs::path(drive) / "Hollowmere" / "vantrel" / "scrnshot" / name).string();
    }

    static void make_marker_raw(int n, const std::string& text) { write_file(shot_path(n), text); }

    /// Marker file n holding x and z (value lines 1 and 3).
    static void make_marker(int n, const std::string& x, const std::string& z,
                            const std::string& eol = "\n") {
        make_marker_raw(n, test::marker_file_text({x, "unused line 2", z, "line 4", "line 5"}, eol));
    }

    std::string make_source(const std::vector<road_fixture>& roads) const {
        return test::make_road_file(source_dir, roads);
    }
};

std::string console(const std::vector<std::string>& marker_paths) {
    std::string text = "reading road file\nGrand.ROAD opened\n";
    for (const std::string& path : marker_paths) text += path + " opened\n";
    return text + "writing road file\nGrand.ROAD opened\n";
}

/// `source` with one road more: the marker road of the given words and points.
std::string with_marker_road(const std::string& source, const std::vector<std::int32_t>& marker_road) {
    std::uint32_t count = 0;
    for (int i = 3; i >= 0; --i) count = count << 8 | static_cast<unsigned char>(source[i]);
    return le32({static_cast<std::int32_t>(count) + 1}) + source.substr(4) + le32(marker_road);
}

TEST_F(RoadMerge, WithoutMarkerFilesAppendsAnEmptyMarkerRoad) {
    std::string source = make_source({{1, 2, {{1234, -5678}}}, {3, 4, {{0, 0}, {-1, 99}}}});

    test::run_result run = run_program(road_merge, work.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, console({}));
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(same_bytes(read_file(work.path / "Grand.ROAD"), with_marker_road(source, {3, 4, 0})));
    EXPECT_EQ(file_names(work.path), only_road_file);
}

TEST_F(RoadMerge, ScanStopsAtTheFirstMissingNumber) {
    std::string source = make_source({{7, 8, {}}});
    make_marker(0, "10", "-20");
    make_marker(1, "300", "45");
    make_marker(3, "999", "999");

    test::run_result run = run_program(road_merge, work.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, console({shot_path(0), shot_path(1)}));
    EXPECT_TRUE(same_bytes(read_file(work.path / "Grand.ROAD"),
                           with_marker_road(source, {7, 8, 2, 1000, -2000, 30000, 4500})));
}

TEST_F(RoadMerge, ReadsMarkerValuesAsText) {
    const std::string header(65, '#');
    const std::string gap(15, '-');
    struct {
        const char* name;
        std::string text;
        std::int32_t x;
        std::int32_t z;
    } cases[] = {
        {"LF", test::marker_file_text({"  -1234.9", "x", "1234.9 m", "y", "z"}), -1234, 1234},
        {"CRLF", test::marker_file_text({"  -1234.9", "x", "1234.9 m", "y", "z"}, "\r\n"), -1234, 1234},
        {"text only", test::marker_file_text({"Position", "x", "12", "y", "z"}), 0, 12},
        {"lines 2, 4 and 5 hold anything",
         test::marker_file_text({"5", "99999999999999999999 junk", "6", "\x1A\x1A\x1A", "-----------"}), 5,
         6},
        {"over-long line 1 is read past",
         test::marker_file_text({"1234.56789012345678901234", "x", "77", "y", "z"}), 1234, 77},
        {"over-long CRLF line 3",
         test::marker_file_text({"1", "x", "-88.0000000000000000001", "y", "z"}, "\r\n"), 1, -88},
        {"ends after line 3", test::marker_file_text({"41", "x", "42"}), 41, 42},
        {"ends inside line 3", header + "\n41\n" + gap + "\nx\n" + gap + "\n43", 41, 43},
        {"ends inside line 1", header + "\n17", 17, 0},
        {"ends inside the header", "short", 0, 0},
        {"Ctrl-Z after line 3", test::marker_file_text({"41", "x", "42"}) + "\x1A" + gap + "\n9\n", 41, 42},
        {"Ctrl-Z in a skipped stretch", header + "\n1\n\x1A" + gap.substr(1) + "\nx\n" + gap + "\n2\n", 1, 2},
        {"Ctrl-Z ends line 1", header + "\n3\x1A" + "5\n", 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string source = make_source({{1, 1, {}}});
        make_marker_raw(0, c.text);

        test::run_result run = run_program(road_merge, work.path);

        EXPECT_EQ(run.exit_code, 0) << run.out;
        EXPECT_TRUE(same_bytes(read_file(work.path / "Grand.ROAD"),
                               with_marker_road(source, {1, 1, 1, c.x * 100, c.z * 100})));
    }
}

TEST_F(RoadMerge, MergedFileListsTheMarkerRoadLast) {
    make_source({{1, 2, {{150, 225}, {300, 400}}}});
    make_marker(0, "12.7", "-3.2");
    make_marker(1, "-100", "100", "\r\n");

    test::run_result merge = run_program(road_merge, work.path);
    test::run_result report = run_program(road_report, work.path);

    EXPECT_EQ(merge.exit_code, 0);
    EXPECT_EQ(merge.out, console({shot_path(0), shot_path(1)}));
    EXPECT_EQ(report.exit_code, 0);
    EXPECT_EQ(report.out, "reading road file\nGrand.ROAD opened\nprinting road file\nROAD.log opened\n");
    EXPECT_TRUE(
        same_bytes(read_file(work.path / "ROAD.log"),
                   "2 roads\n\n"
                   "road 0 has 2 points\n\n  1.500000   2.250000 \n  3.000000   4.000000 \n\n"
                   "road 1 has 2 points\n\n  12.000000   -3.000000 \n  -100.000000   100.000000 \n\n"));
    EXPECT_EQ(file_names(work.path), (std::vector<std::string>{"Grand.ROAD", "ROAD.log"}));
}

TEST_F(RoadMerge, RunTwiceInTheSourceFolderKeepsEveryCentimetre) {
    std::string source = make_source({{5, 6, {{1234, -1234}, {99, 2147483647}}}});
    make_marker(0, "4", "5");

    test::run_result first = run_program(road_merge, source_dir);
    test::run_result second = run_program(road_merge, source_dir);

    EXPECT_EQ(first.exit_code, 0);
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_EQ(second.out, console({shot_path(0)}));
    EXPECT_TRUE(
        same_bytes(read_file(source_dir / "Grand.ROAD"),
                   with_marker_road(with_marker_road(source, {5, 6, 1, 400, 500}), {5, 6, 1, 400, 500})));
    EXPECT_EQ(file_names(source_dir), only_road_file);
}

// A run that fails in the source folder leaves the source file exactly as it was.
TEST_F(RoadMerge, FailedRunLeavesTheSourceFile) {
    struct {
        const char* name;
        void (*setup)(const fs::path& shots);
        long file_size_limit;
        std::string console_tail;
    } cases[] = {
        {"marker file that cannot be read",
         [](const fs::path& shots) {
             make_marker(0, "1", "2");
             fs::create_directory(shots / "IMAGE001.TXT");
         },
         0, shot_path(0) + " opened\ncannot read " + shot_path(1) + " (Is a directory)\n"},
        {"marker too large for the road file", [](const fs::path&) { make_marker(0, "1", "1e9"); }, 0,
         shot_path(0) + " opened\n" + shot_path(0) +
             ": the z value is not a number the road file can store\n"},
        {"full disk", [](const fs::path&) { make_marker(0, "1", "2"); }, 1024,
         shot_path(0) +
             " opened\nwriting road file\nGrand.ROAD opened\ncannot write Grand.ROAD (File too large)\n"},
    };
    bool skipped = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file_size_limit > 0 && test::no_file_size_limit) {
            skipped = true;
            continue;
        }
        SetUp();
        std::vector<std::pair<std::int32_t, std::int32_t>> points(150, {123, -456});
        std::string source = make_source({{1, 2, points}});
        c.setup(shots_dir);

        test::run_result run =
            run_program(road_merge, source_dir, {.arguments = {}, .file_size_limit = c.file_size_limit});

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, "reading road file\nGrand.ROAD opened\n" + c.console_tail);
        EXPECT_TRUE(same_bytes(read_file(source_dir / "Grand.ROAD"), source));
        EXPECT_EQ(file_names(source_dir), only_road_file);
    }
    if (skipped) GTEST_SKIP() << "the full-disk case: " << test::no_file_size_limit;
}

TEST_F(RoadMerge, MissingSourceFileReadsNoMarker) {
    make_marker(0, "1", "2");

    test::run_result run = run_program(road_merge, work.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "reading road file\ncannot open Grand.ROAD\n");
    EXPECT_TRUE(file_names(work.path).empty());
}

TEST_F(RoadMerge, MarkerTableHoldsAtMost256Files) {
    std::string source = make_source({{1, 2, {}}});
    std::vector<std::int32_t> marker_road{1, 2, 256};
    for (int n = 0; n < 256; ++n) {
        make_marker(n, std::to_string(n), std::to_string(-n));
        marker_road.push_back(n * 100);
        marker_road.push_back(-n * 100);
    }

    test::run_result full = run_program(road_merge, work.path);

    EXPECT_EQ(full.exit_code, 0);
    EXPECT_TRUE(same_bytes(read_file(work.path / "Grand.ROAD"), with_marker_road(source, marker_road)));

    fs::remove(work.path / "Grand.ROAD");
    make_marker(256, "1", "1");

    test::run_result over = run_program(road_merge, work.path);

    EXPECT_EQ(over.exit_code, 1);
    std::string last_line =
        shot_path(256) + ": more than 256 screenshot marker files, the most the marker table holds\n";
    ASSERT_GE(over.out.size(), last_line.size());
    EXPECT_EQ(over.out.substr(over.out.size() - last_line.size()), last_line);
    EXPECT_TRUE(file_names(work.path).empty());
}

TEST_F(RoadMerge, FullRoadTableLeavesNoRoomForTheMarkerRoad) {
    make_source(std::vector<road_fixture>(256, road_fixture{1, 2, {}}));

    test::run_result run = run_program(road_merge, work.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out,
              "reading road file\nGrand.ROAD opened\nwriting road file\n"
              "Grand.ROAD: the road table holds 256 roads, which leaves no room for the marker road\n");
    EXPECT_TRUE(file_names(work.path).empty());
}

}  // namespace
