#include "drive_path.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "test_support.hpp"

namespace {

TEST(DrivePath, MapsDriveCBelowTheRoot) {
    struct {
        const char* windows_path;
        const char* root;
        const char* path;
    } cases[] = {
        {"C:\\aGrand\\Grand.ROAD", "/mnt/c", "/mnt/c/aGrand/Grand.ROAD"},
        {"C:\\aGrand\\Grand.ROAD", "/mnt/c/", "/mnt/c/aGrand/Grand.ROAD"},
        {"C:\\aGrand\\Grand.ROAD", "/", "/aGrand/Grand.ROAD"},
        {"C:\\Hollowmere\\vantrel\\scrnshot\\IMAGE007.TXT", "/data/drive c",
         "/data/drive c/Hollowmere/vantrel/scrnshot/IMAGE007.TXT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(map_drive_path(c.windows_path, c.root), c.path);
    }
    // A Windows test build's drive C: is a directory given as a Windows path.
    EXPECT_EQ(map_drive_path("C:\\aGrand\\Grand.ROAD", "Z:\\build\\drive_c\\", '\\'),
              "Z:\\build\\drive_c\\aGrand\\Grand.ROAD");
}

// The paths the shipped programs open: on Windows the drive-letter paths as they stand.
TEST(DrivePath, ShippedBuildLooksBelowTheConfiguredRoot) {
    char marker_path[64];
    std::snprintf(marker_path, sizeof marker_path, marker_path_format, 12);
    std::string root = ROAD_TOOL_DRIVE_ROOT;
#if defined(_WIN32)
    ASSERT_EQ(root, "");
    EXPECT_EQ(drive_path(merge_road_file_path), "C:\\aGrand\\Grand.ROAD");
    EXPECT_EQ(drive_path(marker_path), "C:\\Hollowmere\\vantrel\\scrnshot\\IMAGE012.TXT");
#else
    EXPECT_EQ(drive_path(merge_road_file_path), root + "/aGrand/Grand.ROAD");
    EXPECT_EQ(drive_path(marker_path), root + "/Hollowmere/vantrel/scrnshot/IMAGE012.TXT");
#endif
}

TEST(DrivePath, ShippedMergeReportsAMissingSourceFile) {
    std::string source = drive_path(merge_road_file_path);
    if (std::filesystem::exists(source)) GTEST_SKIP() << source << " exists on this machine";
    test::temp_dir dir;

    test::run_result run = test::run_program(ROAD_MERGE_PATH, dir.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "reading road file\ncannot open Grand.ROAD\n");
    EXPECT_TRUE(test::file_names(dir.path).empty());
}

}  // namespace
