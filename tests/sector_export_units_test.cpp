// The parts of sector_export called directly: the type table, the big-endian helpers, the
// argument conversion, the sector table built from bytes, the point listing and the file
// mapping.

#include <gtest/gtest.h>

#include <cstring>

#include "byte_order.hpp"
#include "exporter.hpp"
#include "mapped_file.hpp"
#include "sector_export_fixtures.hpp"
#include "terrain.hpp"
#include "terrain_types.hpp"

namespace {

namespace fs = std::filesystem;

TEST(SectorExportUnits, TerrainTypeTable) {
    std::memset(terrain_types, 0xEE, sizeof terrain_types);
    terrain_types[0] = {};
    for (int type = 47; type < terrain_type_count; ++type) terrain_types[type] = {};
    build_terrain_types();
    for (int type = 0; type < terrain_type_count; ++type) {
        SCOPED_TRACE(type);
        const sector_test::type_row& row = sector_test::type_table[type];
        EXPECT_EQ(terrain_types[type].is_strip, row.is_strip);
        EXPECT_EQ(terrain_types[type].colour[0], row.red);
        EXPECT_EQ(terrain_types[type].colour[1], row.green);
        EXPECT_EQ(terrain_types[type].colour[2], row.blue);
    }
}

TEST(SectorExportUnits, BigEndianFields) {
    byte_buffer out;
    put_be32(out, 0x0A1B2C3Du);
    put_be16(out, 0x12345);  // only the low 16 bits
    put_be_float(out, -2.5f);
    put_be_float(out, 32767.0f);
    EXPECT_EQ(out, (byte_buffer{0x0A, 0x1B, 0x2C, 0x3D, 0x23, 0x45, 0xC0, 0x20, 0, 0, 0x46, 0xFF, 0xFE, 0}));
}

TEST(SectorExportUnits, ArgumentsAndFileName) {
    struct {
        const char* text;
        int value;
    } cases[] = {{"12", 12},
                 {"12abc", 12},
                 {"abc", 0},
                 {"", 0},
                 {"  -7", -7},
                 {"+3x", 3},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1},
                 {"0x1F", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(sector_argument(c.text, "row"), c.value);
    }
    EXPECT_EQ(sector_file_name(5, 12), "005x012.lwo");
    EXPECT_EQ(sector_file_name(1234, 7), "1234x007.lwo");
}

class SectorExportTable : public ::testing::Test {
   protected:
    void TearDown() override { free_terrain(); }
};

// Records run row after row; each reference points into its file at the record's offset,
// or nowhere when the offset lies outside the file.
TEST_F(SectorExportTable, RecordsAndReferences) {
    terrain_map map = sector_test::empty_grid(2, 3);
    for (std::size_t i = 0; i < map.sectors.size(); ++i) {
        terrain_file_sector& sector = map.sectors[i];
        sector.points.resize(i + 1);
        sector.polygon_codes.resize(2 * i);
        for (int k = 0; k < 5; ++k) sector.aux_words[k] = static_cast<std::uint16_t>(100 * i + k);
        sector.rgb_block_1.resize(i);
        sector.rgb_block_2.resize(1);
    }
    map.sector_file_trailer = {0xFF, 0xFF, 0xFF, 0xFF};
    byte_buffer sector_file = encode_sector_file(map);
    // Sector (1, 1): its aux block outside "terrain.ffp", its second colour block outside
    // "default.rgb".
    sector_test::patch_i32(sector_file, sector_test::record_field(4, 36), -4);
    sector_test::patch_i32(sector_file, sector_test::record_field(4, 44), 1 << 30);
    const byte_buffer terrain = encode_terrain_file(map);
    const byte_buffer rgb = encode_rgb_file(map);

    load_terrain_from_bytes(sector_file, terrain, rgb);

    ASSERT_EQ(row_count, 2);
    ASSERT_EQ(row_length, 3);
    const terrain_sector& fourth = terrain_sectors[1][0];
    EXPECT_EQ(fourth.number_of_points, 4);
    EXPECT_EQ(fourth.number_of_polygons, 6);
    EXPECT_EQ(fourth.aux_words[0], 300);
    EXPECT_EQ(fourth.aux_words[4], 304);
    const terrain_sector_offsets offsets = terrain_offsets_of(map, 3);
    EXPECT_EQ(fourth.heights, terrain.data() + offsets.heights);
    EXPECT_EQ(fourth.point_xz, terrain.data() + offsets.point_xz);
    EXPECT_EQ(fourth.vertex_indices, terrain.data() + offsets.vertex_indices);
    EXPECT_EQ(fourth.polygon_codes, terrain.data() + offsets.polygon_codes);
    EXPECT_EQ(fourth.type_runs, terrain.data() + offsets.type_runs);
    EXPECT_EQ(fourth.aux_block, terrain.data() + offsets.aux_block);
    // default.rgb: the leading word, then each sector's two blocks (i and 1 bytes long).
    EXPECT_EQ(fourth.rgb_offset_1, 4 + 0 + 1 + 1 + 1 + 2 + 1);
    EXPECT_EQ(fourth.rgb_block_1, rgb.data() + fourth.rgb_offset_1);
    EXPECT_EQ(fourth.rgb_block_2, rgb.data() + fourth.rgb_offset_1 + 3);

    const terrain_sector& fifth = terrain_sectors[1][1];
    EXPECT_EQ(fifth.aux_block, nullptr);
    EXPECT_EQ(fifth.rgb_offset_2, 1 << 30);
    EXPECT_EQ(fifth.rgb_block_2, nullptr);
    EXPECT_NE(fifth.rgb_block_1, nullptr);

    free_terrain();
    EXPECT_EQ(terrain_sectors, nullptr);
    EXPECT_EQ(row_count, 0);
    EXPECT_TRUE(terrain_data.empty());
}

TEST_F(SectorExportTable, PrintSectorPoints) {
    terrain_file_sector sector;
    sector.points = {{0x8005, -3, 4}, {0x7FFF, 32767, -32768}, {0, 0, 0}};
    terrain_map map = sector_test::single_sector_map(sector);
    const byte_buffer sector_file = encode_sector_file(map);
    const byte_buffer terrain = encode_terrain_file(map);
    const byte_buffer rgb = encode_rgb_file(map);
    load_terrain_from_bytes(sector_file, terrain, rgb);

    ::testing::internal::CaptureStdout();
    print_sector_points(0, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "0  -3  4  5\n1  32767  -32768  32767\n2  0  0  0\n");
}

TEST(SectorExportUnits, MappedFile) {
    test::temp_dir dir;
    test::write_file(dir.path / "data", std::string("\x01\x02\x03", 3));
    test::write_file(dir.path / "empty", "");

    mapped_file file;
    ASSERT_TRUE(open_mapped_file((dir.path / "data").string().c_str(), file));
    ASSERT_TRUE(map_whole_file(file));
    close_mapped_file(file);
    // The mapping outlives the file's handle.
    EXPECT_EQ(byte_buffer(file.bytes.begin(), file.bytes.end()), (byte_buffer{1, 2, 3}));
    unmap_file(file);
    EXPECT_TRUE(file.bytes.empty());

    ASSERT_TRUE(open_mapped_file((dir.path / "empty").string().c_str(), file));
    EXPECT_FALSE(map_whole_file(file));
    unmap_file(file);

    EXPECT_FALSE(open_mapped_file((dir.path / "missing").string().c_str(), file));
}

}  // namespace
