#include "sector_export_fixtures.hpp"

#include <bit>
#include <cstdio>

namespace sector_test {

const std::string loaded_console =
    "default.sec opened\nterrain.ffp opened\ndefault.rgb opened\n"
    "Allocating memory for terrain data ...\nReading terrain data ...\n"
    "Allocating memory for rgb data ...\nReading rgb data ...\n"
    "Allocating memory for sectors ...\nMemory for sectors allocated ...\n3d terrain loaded ...\n";

// clang-format off
const type_row type_table[62] = {
    {0, 0, 0, 0},
    {1, 4, 103, 115},   {0, 4, 103, 115},   {1, 190, 170, 15},  {1, 141, 122, 84},  {1, 190, 170, 15},
    {1, 190, 170, 15},  {0, 4, 103, 115},   {1, 199, 172, 120}, {0, 61, 135, 75},   {0, 255, 255, 80},
    {0, 100, 70, 40},   {0, 140, 70, 50},   {0, 190, 170, 15},  {0, 170, 140, 0},   {0, 81, 165, 85},
    {0, 41, 115, 50},   {0, 255, 255, 80},  {0, 100, 70, 40},   {0, 140, 70, 50},   {0, 190, 170, 15},
    {0, 170, 140, 0},   {0, 81, 165, 85},   {0, 255, 255, 255}, {0, 80, 60, 30},    {1, 61, 135, 75},
    {1, 141, 122, 84},  {1, 190, 170, 15},  {1, 190, 170, 15},  {1, 255, 255, 255}, {1, 255, 255, 255},
    {1, 80, 60, 30},    {1, 80, 60, 30},    {1, 80, 60, 30},    {1, 80, 60, 30},    {1, 80, 60, 30},
    {1, 80, 60, 30},    {0, 255, 255, 255}, {0, 255, 255, 255}, {0, 255, 255, 255}, {0, 255, 255, 255},
    {1, 255, 255, 255}, {1, 255, 255, 255}, {1, 38, 38, 38},    {1, 255, 255, 255}, {1, 190, 170, 15},
    {0, 190, 170, 15},
    // 47 to 61: black fan types.
    {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
};
// clang-format on

terrain_map single_sector_map(const terrain_file_sector& sector) {
    terrain_map map;
    map.row_length = 1;
    map.row_count = 1;
    map.sectors = {sector};
    return map;
}

terrain_map empty_grid(int rows, int columns) {
    terrain_map map;
    map.row_length = static_cast<std::uint16_t>(columns);
    map.row_count = static_cast<std::uint16_t>(rows);
    map.sectors.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    return map;
}

void write_terrain(const fs::path& dir, const terrain_map& map) {
    test::write_file(dir / "default.sec", encode_sector_file(map));
    test::write_file(dir / "terrain.ffp", encode_terrain_file(map));
    test::write_file(dir / "default.rgb", encode_rgb_file(map));
}

test::run_result run_export(const fs::path& dir, const std::vector<std::string>& arguments) {
    return test::run_program(SECTOR_EXPORT_PATH, dir, {.arguments = arguments});
}

std::string export_sector(const terrain_map& map, int row, int column) {
    test::temp_dir dir;
    write_terrain(dir.path, map);
    test::run_result run = run_export(dir.path, {std::to_string(row), std::to_string(column)});
    char name[64];
    std::snprintf(name, sizeof name, "%03dx%03d.lwo", row, column);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, loaded_console + name + " opened ...\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::file_names(dir.path),
              (std::vector<std::string>{name, "default.rgb", "default.sec", "terrain.ffp"}));
    if (!fs::exists(dir.path / name)) return "";
    return test::read_file(dir.path / name);
}

namespace {

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string be16(int v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }

std::string surface_name(int surface) {
    std::string digits = std::to_string(surface);
    return std::string(7 - digits.size(), '0') + digits + std::string(1, '\0');
}

}  // namespace

std::string expected_lwob(const std::vector<lwob_point>& points,
                          const std::vector<lwob_triangle>& triangles) {
    std::string body = "LWOB";
    body += "SRFS" + be32(61 * 8);
    for (int surface = 1; surface <= 61; ++surface) body += surface_name(surface);
    body += "PNTS" + be32(static_cast<std::uint32_t>(12 * points.size()));
    for (const lwob_point& p : points) {
        for (int value : {p.x, p.y, p.z})
            body += be32(std::bit_cast<std::uint32_t>(static_cast<float>(value)));
    }
    body += "POLS" + be32(static_cast<std::uint32_t>(10 * triangles.size()));
    for (const lwob_triangle& t : triangles)
        body += be16(3) + be16(t.a) + be16(t.b) + be16(t.c) + be16(t.surface);
    for (int surface = 1; surface <= 61; ++surface) {
        const type_row& type = type_table[surface];
        body += "SURF" + be32(26) + surface_name(surface);
        body += "COLR" + be16(4);
        body +=
            {static_cast<char>(type.red), static_cast<char>(type.green), static_cast<char>(type.blue), '\0'};
        body += "LUMI" + be16(2) + be16(170);
    }
    return "FORM" + be32(static_cast<std::uint32_t>(body.size())) + body;
}

void patch_i32(byte_buffer& bytes, std::size_t offset, std::int32_t value) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<unsigned char>(v >> (8 * i));
}

std::size_t record_field(std::size_t index, std::size_t field_offset) {
    return 16 + 48 * index + field_offset;
}

}  // namespace sector_test
