#include "terrain.hpp"

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "byte_order.hpp"
#include "fail.hpp"
#include "mapped_file.hpp"

std::span<const unsigned char> terrain_data;
std::span<const unsigned char> rgb_data;
std::uint16_t row_length = 0;
std::uint16_t row_count = 0;
terrain_sector** terrain_sectors = nullptr;

namespace {

mapped_file terrain_file;
mapped_file rgb_file;

/// The header fields the tool uses; the leading word and the height bounds are not applied.
struct sector_file_header {
    std::uint16_t row_length;
    std::uint16_t row_count;
};

sector_file_header decode_header(const unsigned char* header) {
    return {get_u16_le(header + 4), get_u16_le(header + 6)};
}

/// data + offset, or null when the offset lies outside data (its end still counts as inside).
const unsigned char* reference_into(std::span<const unsigned char> data, std::int32_t offset) {
    if (offset < 0 || static_cast<std::size_t>(offset) > data.size()) return nullptr;
    return data.data() + offset;
}

terrain_sector decode_record(const unsigned char* record) {
    terrain_sector sector{};
    sector.number_of_points = get_u16_le(record);
    sector.aux_words[0] = get_u16_le(record + 2);
    sector.number_of_polygons = get_u16_le(record + 4);
    sector.aux_words[1] = get_u16_le(record + 6);
    sector.aux_words[2] = get_u16_le(record + 8);
    sector.aux_words[3] = get_u16_le(record + 10);
    sector.aux_words[4] = get_u16_le(record + 12);
    // The word at offset 14 is dropped.
    sector.heights = reference_into(terrain_data, get_i32_le(record + 16));
    sector.point_xz = reference_into(terrain_data, get_i32_le(record + 20));
    sector.vertex_indices = reference_into(terrain_data, get_i32_le(record + 24));
    sector.polygon_codes = reference_into(terrain_data, get_i32_le(record + 28));
    sector.type_runs = reference_into(terrain_data, get_i32_le(record + 32));
    sector.aux_block = reference_into(terrain_data, get_i32_le(record + 36));
    sector.rgb_offset_1 = get_i32_le(record + 40);
    sector.rgb_offset_2 = get_i32_le(record + 44);
    sector.rgb_block_1 = reference_into(rgb_data, sector.rgb_offset_1);
    sector.rgb_block_2 = reference_into(rgb_data, sector.rgb_offset_2);
    return sector;
}

[[noreturn]] void fail_record_cut_short(int row, int column) {
    fail("%s: file ends before the record of sector row %d, column %d is complete", sector_table_file_name,
         row, column);
}

/// Checked before anything is allocated, so that a short file announcing a huge grid
/// allocates nothing. `file_size` is at least the header's size.
void check_records_present(std::uintmax_t file_size, sector_file_header header) {
    std::uintmax_t announced = std::uintmax_t{header.row_count} * header.row_length;
    // Divide, don't multiply: the count of whole records that are there.
    std::uintmax_t present = (file_size - sector_header_size) / sector_record_size;
    if (present < announced) {
        fail_record_cut_short(static_cast<int>(present / header.row_length),
                              static_cast<int>(present % header.row_length));
    }
}

void allocate_sector_table(sector_file_header header) {
    std::printf("Allocating memory for sectors ...\n");
    // A request for no bytes counts as a failed allocation: a map without rows or columns
    // has no sector to export.
    if (header.row_count > 0) terrain_sectors = new (std::nothrow) terrain_sector*[header.row_count]();
    if (terrain_sectors == nullptr) fail("No memory for terrain_sectors ...");
    row_count = header.row_count;
    row_length = header.row_length;
    for (int row = 0; row < row_count; ++row) {
        if (row_length > 0) terrain_sectors[row] = new (std::nothrow) terrain_sector[row_length];
        if (terrain_sectors[row] == nullptr) fail("No memory for terrain_sectors[%d]", row);
    }
    std::printf("Memory for sectors allocated ...\n");
}

/// Decodes the records row after row; `next_record` yields each record's 48 bytes.
template <typename next_record_function>
void fill_sector_table(next_record_function next_record) {
    for (int row = 0; row < row_count; ++row) {
        for (int column = 0; column < row_length; ++column) {
            terrain_sectors[row][column] = decode_record(next_record(row, column));
        }
    }
}

}  // namespace

void load_terrain() {
    std::FILE* sector_file = std::fopen(sector_table_file_name, "rb");
    if (sector_file == nullptr) fail("cannot open %s", sector_table_file_name);
    std::printf("%s opened\n", sector_table_file_name);
    if (!open_mapped_file(terrain_file_name, terrain_file)) fail("cannot open %s", terrain_file_name);
    std::printf("%s opened\n", terrain_file_name);
    if (!open_mapped_file(rgb_file_name, rgb_file)) fail("cannot open %s", rgb_file_name);
    std::printf("%s opened\n", rgb_file_name);

    // The geometry and colour files can be gigabytes and a run exports one sector, so they
    // are mapped rather than read: a page costs time and memory only once it is touched.
    // An empty file cannot be mapped and fails as an allocation of no bytes would.
    std::printf("Allocating memory for terrain data ...\n");
    if (!map_whole_file(terrain_file)) fail("No memory for terrain data ...");
    std::printf("Reading terrain data ...\n");
    terrain_data = terrain_file.bytes;

    std::printf("Allocating memory for rgb data ...\n");
    if (!map_whole_file(rgb_file)) fail("No memory for rgb data ...");
    std::printf("Reading rgb data ...\n");
    rgb_data = rgb_file.bytes;

    unsigned char header[sector_header_size];
    if (std::fread(header, 1, sizeof header, sector_file) != sizeof header) {
        if (std::ferror(sector_file)) fail("cannot read %s", sector_table_file_name);
        fail("%s: file ends inside the header", sector_table_file_name);
    }
    std::error_code error;
    std::uintmax_t file_size = std::filesystem::file_size(sector_table_file_name, error);
    if (error) fail("cannot read %s (%s)", sector_table_file_name, error.message().c_str());
    sector_file_header sizes = decode_header(header);
    check_records_present(file_size, sizes);
    allocate_sector_table(sizes);

    // The records go through the stream one at a time, so the table is all that stays.
    unsigned char record[sector_record_size];
    fill_sector_table([&](int row, int column) {
        if (std::fread(record, 1, sizeof record, sector_file) != sizeof record) {
            if (std::ferror(sector_file)) fail("cannot read %s", sector_table_file_name);
            fail_record_cut_short(row, column);
        }
        return static_cast<const unsigned char*>(record);
    });

    close_mapped_file(terrain_file);
    std::fclose(sector_file);
    close_mapped_file(rgb_file);
    std::printf("3d terrain loaded ...\n");
}

void load_terrain_from_bytes(std::span<const unsigned char> sector_file,
                             std::span<const unsigned char> terrain, std::span<const unsigned char> rgb) {
    free_terrain();
    terrain_data = terrain;
    rgb_data = rgb;
    if (sector_file.size() < sector_header_size)
        fail("%s: file ends inside the header", sector_table_file_name);
    sector_file_header sizes = decode_header(sector_file.data());
    check_records_present(sector_file.size(), sizes);
    allocate_sector_table(sizes);
    std::size_t position = sector_header_size;
    fill_sector_table([&](int, int) {
        const unsigned char* record = sector_file.data() + position;
        position += sector_record_size;
        return record;
    });
}

void free_terrain() {
    if (terrain_sectors != nullptr) {
        for (int row = 0; row < row_count; ++row) delete[] terrain_sectors[row];
        delete[] terrain_sectors;
    }
    terrain_sectors = nullptr;
    row_count = 0;
    row_length = 0;
    terrain_data = {};
    rgb_data = {};
    unmap_file(terrain_file);
    unmap_file(rgb_file);
}

const terrain_sector& sector_at(int row, int column) {
    if (row < 0 || row >= row_count || column < 0 || column >= row_length) {
        fail("no sector at row %d, column %d: the map has %d rows of %d sectors", row, column, row_count,
             row_length);
    }
    return terrain_sectors[row][column];
}

void require_terrain_bytes(const unsigned char* start, std::size_t size, const char* what, int row,
                           int column) {
    if (size == 0) return;
    if (start == nullptr) {
        fail("%s: the %s of sector row %d, column %d start outside the file", terrain_file_name, what, row,
             column);
    }
    std::size_t offset = static_cast<std::size_t>(start - terrain_data.data());
    if (terrain_data.size() - offset < size) {
        // Both fit an int: the offset was read as an int32, and an array is at most 65535
        // polygons of 127 two-byte entries.
        fail("%s: the %s of sector row %d, column %d (%d bytes at offset %d) run past the end of the file",
             terrain_file_name, what, row, column, static_cast<int>(size), static_cast<int>(offset));
    }
}
