#pragma once

#include <cstdint>
#include <vector>

#include "byte_order.hpp"

// Writers of the map's three terrain files, "default.sec", "terrain.ffp" and "default.rgb",
// from a description of the sector grid and each sector's arrays. The formats are those
// the sector exporter reads (sector_export/terrain.hpp). The writers lay the arrays out
// one sector after another, each sector's in the order heights, point_xz, vertex_indices,
// polygon_codes, type_runs, aux_block in "terrain.ffp" and rgb block 1, rgb block 2 in
// "default.rgb", and point every record at its own sector's arrays.

struct terrain_file_point {
    std::uint16_t height_word;  // bits 0-14 the height, bit 15 the marker
    std::int16_t x;
    std::int16_t z;
};

struct terrain_file_sector {
    std::vector<terrain_file_point> points;     // their number is the record's number_of_points
    std::vector<std::uint8_t> polygon_codes;    // their number is the record's number_of_polygons
    std::vector<std::uint16_t> vertex_indices;  // stored as bytes when there are 256 points or fewer
    std::vector<std::uint8_t> type_runs;
    std::vector<std::uint8_t> aux_block;
    std::uint16_t aux_words[5] = {};
    std::uint16_t dropped_word = 0;  // the record's word at offset 14
    std::vector<std::uint8_t> rgb_block_1;
    std::vector<std::uint8_t> rgb_block_2;
};

struct terrain_map {
    std::uint32_t sector_file_word = 0;  // the leading words of the three files
    std::uint32_t terrain_file_word = 0;
    std::uint32_t rgb_file_word = 0;
    std::uint16_t row_length = 0;
    std::uint16_t row_count = 0;
    float height_min = 0;
    float height_max = 0;
    /// Written as records row after row, as many as there are, whatever the header says.
    std::vector<terrain_file_sector> sectors;
    /// Bytes after the last record.
    std::vector<std::uint8_t> sector_file_trailer;
};

/// "default.sec": the header, one record per sector, then the trailer.
byte_buffer encode_sector_file(const terrain_map& map);

/// "terrain.ffp": the leading word, then every sector's arrays.
byte_buffer encode_terrain_file(const terrain_map& map);

/// "default.rgb": the leading word, then every sector's two colour blocks.
byte_buffer encode_rgb_file(const terrain_map& map);

/// Where the record of sectors[index] points: the offsets of heights, point_xz,
/// vertex_indices, polygon_codes, type_runs and aux_block in "terrain.ffp", in that order.
struct terrain_sector_offsets {
    std::int32_t heights;
    std::int32_t point_xz;
    std::int32_t vertex_indices;
    std::int32_t polygon_codes;
    std::int32_t type_runs;
    std::int32_t aux_block;
};
terrain_sector_offsets terrain_offsets_of(const terrain_map& map, std::size_t index);
