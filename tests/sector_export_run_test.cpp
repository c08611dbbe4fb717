// sector_export run end to end: the loader's failures, the arguments, the refusals before the
// object is written, and how the object replaces an old file.

#include <gtest/gtest.h>

#include "sector_export_fixtures.hpp"

namespace {

namespace fs = std::filesystem;

using sector_test::loaded_console;
using sector_test::patch_i32;
using sector_test::record_field;
using sector_test::run_export;
using sector_test::single_sector_map;
using sector_test::write_terrain;
using test::file_names;
using test::read_file;
using test::write_file;

const std::string old_object = "an old object\n";

/// Puts an old "000x000.lwo" into `dir`, runs the export of sector (0, 0), expects it to fail
/// with `console` and to leave every file as it was.
void expect_refusal(const fs::path& dir, const std::string& console,
                    const std::vector<std::string>& arguments = {"0", "0"}) {
    write_file(dir / "000x000.lwo", old_object);
    std::vector<std::string> names_before = file_names(dir);

    test::run_result run = run_export(dir, arguments);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, console);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(read_file(dir / "000x000.lwo"), old_object);
    EXPECT_EQ(file_names(dir), names_before);
}

/// A sector of four points and two polygons, a strip quad and a fan triangle, of two runs.
terrain_file_sector small_sector() {
    terrain_file_sector sector;
    sector.points = {{10, 0, 0}, {11, 10, 0}, {12, 0, 10}, {13, 10, 10}};
    sector.polygon_codes = {4, 0x83};
    sector.vertex_indices = {0, 1, 2, 3, 3, 2, 1};
    sector.type_runs = {1, 2};
    return sector;
}

const std::string opened = "default.sec opened\nterrain.ffp opened\ndefault.rgb opened\n";
const std::string terrain_read = "Allocating memory for terrain data ...\nReading terrain data ...\n";
const std::string rgb_read = "Allocating memory for rgb data ...\nReading rgb data ...\n";

TEST(SectorExportRun, LoaderFailures) {
    terrain_map grid = sector_test::empty_grid(2, 2);
    terrain_map no_rows = grid;
    no_rows.row_count = 0;
    terrain_map no_columns = grid;
    no_columns.row_length = 0;
    // The grid announces six records; five are there.
    terrain_map short_table = sector_test::empty_grid(2, 3);
    short_table.sectors.pop_back();

    enum class change { none, remove, empty, directory };
    struct {
        const char* name;
        terrain_map map;
        const char* file;  // the terrain file changed
        change how;
        std::string console;
    } cases[] = {
        {"no default.sec", grid, "default.sec", change::remove, "cannot open default.sec\n"},
        {"no terrain.ffp", grid, "terrain.ffp", change::remove,
         "default.sec opened\ncannot open terrain.ffp\n"},
        // The export uses nothing of the colour data, yet the file must be there.
        {"no default.rgb", grid, "default.rgb", change::remove,
         "default.sec opened\nterrain.ffp opened\ncannot open default.rgb\n"},
        {"empty terrain.ffp", grid, "terrain.ffp", change::empty,
         opened + "Allocating memory for terrain data ...\nNo memory for terrain data ...\n"},
        // It opens, but cannot be mapped.
        {"terrain.ffp a directory", grid, "terrain.ffp", change::directory,
         opened + "Allocating memory for terrain data ...\nNo memory for terrain data ...\n"},
        {"empty default.rgb", grid, "default.rgb", change::empty,
         opened + terrain_read + "Allocating memory for rgb data ...\nNo memory for rgb data ...\n"},
        {"empty default.sec", grid, "default.sec", change::empty,
         opened + terrain_read + rgb_read + "default.sec: file ends inside the header\n"},
        {"row_count 0", no_rows, "", change::none,
         opened + terrain_read + rgb_read +
             "Allocating memory for sectors ...\nNo memory for terrain_sectors ...\n"},
        {"row_length 0", no_columns, "", change::none,
         opened + terrain_read + rgb_read +
             "Allocating memory for sectors ...\nNo memory for terrain_sectors[0]\n"},
        {"records missing", short_table, "", change::none,
         opened + terrain_read + rgb_read +
             "default.sec: file ends before the record of sector row 1, column 2 is complete\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        write_terrain(dir.path, c.map);
        if (c.how != change::none) fs::remove(dir.path / c.file);
        if (c.how == change::empty) write_file(dir.path / c.file, "");
        if (c.how == change::directory) fs::create_directory(dir.path / c.file);
        expect_refusal(dir.path, c.console);
    }
}

// A file that is cut anywhere before the end of its last record is refused before anything
// is allocated; bytes after the last record change nothing.
TEST(SectorExportRun, SectorTableCutShort) {
    terrain_map map = sector_test::empty_grid(2, 2);
    map.sectors[0] = small_sector();
    map.sector_file_trailer = {1, 2, 3};
    byte_buffer full = encode_sector_file(map);
    const std::size_t records_end = full.size() - 3;

    for (std::size_t size = 0; size < records_end; ++size) {
        SCOPED_TRACE(size);
        test::temp_dir dir;
        write_terrain(dir.path, map);
        write_file(dir.path / "default.sec", byte_buffer(full.begin(), full.begin() + size));
        std::string message = "default.sec: file ends inside the header";
        if (size >= 16) {
            const std::size_t missing = (size - 16) / 48;
            message = "default.sec: file ends before the record of sector row " +
                      std::to_string(missing / 2) + ", column " + std::to_string(missing % 2) +
                      " is complete";
        }
        test::run_result run = run_export(dir.path, {"0", "0"});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, opened + terrain_read + rgb_read + message + "\n");
        EXPECT_FALSE(fs::exists(dir.path / "000x000.lwo"));
    }
    for (std::size_t size : {records_end, full.size()}) {
        SCOPED_TRACE(size);
        test::temp_dir dir;
        write_terrain(dir.path, map);
        write_file(dir.path / "default.sec", byte_buffer(full.begin(), full.begin() + size));
        EXPECT_EQ(run_export(dir.path, {"0", "0"}).exit_code, 0);
    }
}

TEST(SectorExportRun, Arguments) {
    // A wrong number of arguments is refused before anything is loaded.
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{}, {"0"}, {"0", "0", "0"}}) {
        SCOPED_TRACE(arguments.size());
        test::temp_dir dir;
        expect_refusal(dir.path, "usage: sector_export ROW COLUMN\n", arguments);
    }
    // Values outside the int range are refused rather than wrapped.
    struct {
        std::vector<std::string> arguments;
        const char* console;
    } out_of_range[] = {
        {{"2147483648", "0"}, "row 2147483648 is out of range\n"},
        {{"0", "-2147483649"}, "column -2147483649 is out of range\n"},
        {{"99999999999999999999999", "0"}, "row 99999999999999999999999 is out of range\n"},
    };
    for (const auto& c : out_of_range) {
        SCOPED_TRACE(c.console);
        test::temp_dir dir;
        expect_refusal(dir.path, c.console, c.arguments);
    }
    // Leading white space and a sign are taken, digits read up to the first non-digit, and
    // a text without digits is 0.
    struct {
        std::vector<std::string> arguments;
        const char* name;
    } converted[] = {
        {{" +1", "x"}, "001x000.lwo"},
        {{"1abc", "-0"}, "001x000.lwo"},
        {{"", "\t2"}, "000x002.lwo"},
    };
    terrain_map map = sector_test::empty_grid(2, 3);
    for (const auto& c : converted) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        write_terrain(dir.path, map);
        test::run_result run = run_export(dir.path, c.arguments);
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(run.out, loaded_console + c.name + " opened ...\n");
        EXPECT_TRUE(fs::exists(dir.path / c.name));
    }
}

TEST(SectorExportRun, FileNames) {
    struct {
        int rows;
        int columns;
        int row;
        int column;
        const char* name;
    } cases[] = {
        {6, 13, 5, 12, "005x012.lwo"},
        {6, 13, 0, 0, "000x000.lwo"},
        {1235, 8, 1234, 7, "1234x007.lwo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        write_terrain(dir.path, sector_test::empty_grid(c.rows, c.columns));
        test::run_result run = run_export(dir.path, {std::to_string(c.row), std::to_string(c.column)});
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(run.out, loaded_console + c.name + " opened ...\n");
        EXPECT_EQ(file_names(dir.path),
                  (std::vector<std::string>{c.name, "default.rgb", "default.sec", "terrain.ffp"}));
    }
}

TEST(SectorExportRun, SectorOutsideTheGrid) {
    struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"-1", "0"}, "no sector at row -1, column 0: the map has 2 rows of 3 sectors\n"},
        {{"2", "0"}, "no sector at row 2, column 0: the map has 2 rows of 3 sectors\n"},
        {{"0", "3"}, "no sector at row 0, column 3: the map has 2 rows of 3 sectors\n"},
        {{"1", "-2147483648"}, "no sector at row 1, column -2147483648: the map has 2 rows of 3 sectors\n"},
        {{"2147483647", "0"}, "no sector at row 2147483647, column 0: the map has 2 rows of 3 sectors\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        test::temp_dir dir;
        write_terrain(dir.path, sector_test::empty_grid(2, 3));
        expect_refusal(dir.path, loaded_console + c.message, c.arguments);
    }
}

// Offsets of the chosen sector's arrays that leave "terrain.ffp", and values that would make
// the export read outside it or write an object that names no surface.
TEST(SectorExportRun, BadSectorData) {
    const terrain_map map = single_sector_map(small_sector());
    const std::int32_t terrain_size = static_cast<std::int32_t>(encode_terrain_file(map).size());
    const std::string at_end = std::to_string(terrain_size);
    const std::string one_before_end = std::to_string(terrain_size - 1);
    const std::string seven_before_end = std::to_string(terrain_size - 7);
    struct {
        const char* name;
        std::size_t field;  // record offset of the array's offset
        std::int32_t offset;
        std::string message;
    } offsets[] = {
        {"heights before the file", 16, -1,
         "terrain.ffp: the heights of sector row 0, column 0 start outside the file"},
        {"point positions past the file", 20, terrain_size + 1,
         "terrain.ffp: the point positions of sector row 0, column 0 start outside the file"},
        {"vertex lists at the largest offset", 24, 2147483647,
         "terrain.ffp: the vertex lists of sector row 0, column 0 start outside the file"},
        {"polygon codes at the end", 28, terrain_size,
         "terrain.ffp: the polygon codes of sector row 0, column 0 (2 bytes at offset " + at_end +
             ") run past the end of the file"},
        {"type runs cut short", 32, terrain_size - 1,
         "terrain.ffp: the type runs of sector row 0, column 0 (2 bytes at offset " + one_before_end +
             ") run past the end of the file"},
        {"heights cut short", 16, terrain_size - 7,
         "terrain.ffp: the heights of sector row 0, column 0 (8 bytes at offset " + seven_before_end +
             ") run past the end of the file"},
    };
    for (const auto& c : offsets) {
        SCOPED_TRACE(c.name);
        test::temp_dir dir;
        write_terrain(dir.path, map);
        byte_buffer sector_file = encode_sector_file(map);
        patch_i32(sector_file, record_field(0, c.field), c.offset);
        write_file(dir.path / "default.sec", sector_file);
        expect_refusal(dir.path, loaded_console + c.message + "\n");
    }

    auto type_refused = [](int type) {
        return "terrain.ffp: polygon 0 of sector row 0, column 0 has terrain type " + std::to_string(type) +
               ", which names no surface (types 1 to 61 do)";
    };
    const std::vector<std::uint16_t> vertices = small_sector().vertex_indices;
    struct {
        const char* name;
        int points;
        std::vector<std::uint16_t> vertices;
        std::uint8_t type;
        std::string message;
    } values[] = {
        // clang-format off
        {"point number of a byte entry", 4, {0, 1, 2, 4, 3, 2, 1}, 1,
         "terrain.ffp: polygon 0 of sector row 0, column 0 uses point 4, but the sector has only 4 points"},
        {"point number of a 16-bit entry", 257, {0, 1, 2, 3, 3, 2, 257}, 1,
         "terrain.ffp: polygon 1 of sector row 0, column 0 uses point 257, but the sector has only 257 "
         "points"},
        {"type 0", 4, vertices, 0, type_refused(0)},
        {"type 62", 4, vertices, 62, type_refused(62)},
        {"type 255", 4, vertices, 255, type_refused(255)},
        // clang-format on
    };
    for (const auto& c : values) {
        SCOPED_TRACE(c.name);
        terrain_file_sector sector = small_sector();
        sector.points.resize(c.points);
        sector.vertex_indices = c.vertices;
        sector.type_runs[0] = c.type;
        test::temp_dir dir;
        write_terrain(dir.path, single_sector_map(sector));
        expect_refusal(dir.path, loaded_console + c.message + "\n");
    }
}

// The chosen sector's arrays are last in "terrain.ffp"; every cut inside them is refused.
TEST(SectorExportRun, SectorArraysCutShort) {
    terrain_map map = sector_test::empty_grid(1, 2);
    map.sectors[1] = small_sector();
    byte_buffer full = encode_terrain_file(map);
    const std::size_t first = static_cast<std::size_t>(terrain_offsets_of(map, 1).heights);
    ASSERT_EQ(first, 4u);
    for (std::size_t size = first; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        test::temp_dir dir;
        write_terrain(dir.path, map);
        write_file(dir.path / "terrain.ffp", byte_buffer(full.begin(), full.begin() + size));
        write_file(dir.path / "000x001.lwo", old_object);

        test::run_result run = run_export(dir.path, {"0", "1"});

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out.find(loaded_console + "terrain.ffp: the "), 0u) << run.out;
        EXPECT_EQ(read_file(dir.path / "000x001.lwo"), old_object);
    }
}

// What the export does not read does not stop it: other sectors' offsets, the chosen
// sector's aux block and colour blocks, and the type and points of a polygon too small to
// give a triangle.
TEST(SectorExportRun, DataTheExportDoesNotReadIsNotChecked) {
    terrain_map map = sector_test::empty_grid(1, 2);
    terrain_file_sector sector = small_sector();
    sector.polygon_codes = {4, 0x82, 0x83};
    sector.vertex_indices = {0, 1, 2, 3, 200, 201, 3, 2, 1};
    sector.type_runs = {1, 0, 2};
    map.sectors[1] = sector;
    byte_buffer sector_file = encode_sector_file(map);
    for (std::size_t field = 16; field < 48; field += 4) patch_i32(sector_file, record_field(0, field), -100);
    for (std::size_t field : {36u, 40u, 44u}) patch_i32(sector_file, record_field(1, field), 2147483647);

    test::temp_dir dir;
    write_terrain(dir.path, map);
    write_file(dir.path / "default.sec", sector_file);
    test::run_result run = run_export(dir.path, {"0", "1"});

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, loaded_console + "000x001.lwo opened ...\n");
    EXPECT_TRUE(
        test::same_bytes(read_file(dir.path / "000x001.lwo"),
                         sector_test::expected_lwob({{0, 10, 0}, {10, 11, 0}, {0, 12, 10}, {10, 13, 10}},
                                                    {{0, 1, 2, 1}, {1, 3, 2, 1}, {3, 2, 1, 2}})));
}

TEST(SectorExportRun, ReplacesAnOldObject) {
    test::temp_dir dir;
    write_terrain(dir.path, single_sector_map({}));
    write_file(dir.path / "000x000.lwo", std::string(5000, 'x'));
    fs::permissions(dir.path / "000x000.lwo", fs::perms(0640));
    // Windows keeps no more of them than whether the file may be written.
    const fs::perms old_permissions = fs::status(dir.path / "000x000.lwo").permissions();

    test::run_result run = run_export(dir.path, {"0", "0"});

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(test::same_bytes(read_file(dir.path / "000x000.lwo"), sector_test::expected_lwob({}, {})));
    EXPECT_EQ(fs::status(dir.path / "000x000.lwo").permissions(), old_permissions);
    EXPECT_EQ(file_names(dir.path),
              (std::vector<std::string>{"000x000.lwo", "default.rgb", "default.sec", "terrain.ffp"}));
}

TEST(SectorExportRun, ObjectCannotBeWritten) {
    {
        // A directory where the object should go can be neither opened nor replaced.
        test::temp_dir dir;
        write_terrain(dir.path, single_sector_map({}));
        fs::create_directory(dir.path / "000x000.lwo");
        test::run_result run = run_export(dir.path, {"0", "0"});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, loaded_console + "cannot open 000x000.lwo\n");
        EXPECT_EQ(file_names(dir.path),
                  (std::vector<std::string>{"000x000.lwo", "default.rgb", "default.sec", "terrain.ffp"}));
    }
    if (test::no_file_size_limit) GTEST_SKIP() << "the full-disk case: " << test::no_file_size_limit;
    {
        // A full disk: the old object stays.
        test::temp_dir dir;
        write_terrain(dir.path, single_sector_map({}));
        write_file(dir.path / "000x000.lwo", old_object);
        test::run_result run = test::run_program(SECTOR_EXPORT_PATH, dir.path,
                                                 {.arguments = {"0", "0"}, .file_size_limit = 1000});
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out,
                  loaded_console + "000x000.lwo opened ...\ncannot write 000x000.lwo (File too large)\n");
        EXPECT_EQ(read_file(dir.path / "000x000.lwo"), old_object);
        EXPECT_EQ(file_names(dir.path),
                  (std::vector<std::string>{"000x000.lwo", "default.rgb", "default.sec", "terrain.ffp"}));
    }
}

}  // namespace
