#pragma once

// Shared by the sector_export tests: terrain maps written with the terrain file writers, a
// run of the program, and an encoder of the expected LWOB bytes that is independent of the
// program's writer.

#include <cstdint>
#include <string>
#include <vector>

#include "terrain_files.hpp"
#include "test_support.hpp"

namespace sector_test {

namespace fs = std::filesystem;

/// The ten loader lines of a complete load.
extern const std::string loaded_console;

/// Type numbers 0 to 61 as the type table gives them: strip flag, red, green, blue.
struct type_row {
    int is_strip;
    int red;
    int green;
    int blue;
};
extern const type_row type_table[62];

/// A map of one row and one column holding `sector`.
terrain_map single_sector_map(const terrain_file_sector& sector);

/// A map of `rows` x `columns` empty sectors.
terrain_map empty_grid(int rows, int columns);

/// Writes "default.sec", "terrain.ffp" and "default.rgb" for `map` into `dir`.
void write_terrain(const fs::path& dir, const terrain_map& map);

/// Runs sector_export with `arguments` in `dir`.
test::run_result run_export(const fs::path& dir, const std::vector<std::string>& arguments);

/// Writes `map` into a fresh directory, exports sector (row, column), expects a complete
/// run and returns the bytes of the object file.
std::string export_sector(const terrain_map& map, int row, int column);

struct lwob_point {
    int x;
    int y;
    int z;
};

struct lwob_triangle {
    int a;
    int b;
    int c;
    int surface;
};

/// The bytes of an LWOB object with these points and triangles and the 61 surfaces of the
/// type table, built from the format alone.
std::string expected_lwob(const std::vector<lwob_point>& points, const std::vector<lwob_triangle>& triangles);

/// Overwrites the little-endian int32 at `offset` of `bytes`.
void patch_i32(byte_buffer& bytes, std::size_t offset, std::int32_t value);

/// Offset in "default.sec" of the field at `field_offset` of record `index`.
std::size_t record_field(std::size_t index, std::size_t field_offset);

}  // namespace sector_test
