#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The terrain of the map lies in three files in the working directory. Every number in them
// is little-endian; offsets count from the first byte of their file.
//
// "default.sec", the sector table: a 16-byte header, then row_count x row_length records of
// 48 bytes, row after row (all columns of row 0 in column order, then row 1, ...). Bytes
// after the last record are not read.
//
//   header   0  u32    not interpreted
//            4  u16    row_length: sectors in each row (the number of sector columns)
//            6  u16    row_count: sector rows
//            8  f32    height_min  \ one stored height unit is (height_max - height_min) / 32767;
//           12  f32    height_max  / the bounds are read, not applied
//   record   0  u16    number_of_points
//            2  u16    aux_words[0]
//            4  u16    number_of_polygons
//            6  u16    aux_words[1], 8 aux_words[2], 10 aux_words[3], 12 aux_words[4]
//           14  u16    read and dropped
//           16  i32    offset of heights         in "terrain.ffp"
//           20  i32    offset of point_xz        in "terrain.ffp"
//           24  i32    offset of vertex_indices  in "terrain.ffp"
//           28  i32    offset of polygon_codes   in "terrain.ffp"
//           32  i32    offset of type_runs       in "terrain.ffp"
//           36  i32    offset of aux_block       in "terrain.ffp"
//           40  i32    rgb_offset_1              in "default.rgb"
//           44  i32    rgb_offset_2              in "default.rgb"
//
// "terrain.ffp", the terrain geometry: a 32-bit word not interpreted, then the sectors'
// arrays wherever their records point:
//
//   heights         number_of_points u16: bits 0-14 the point's height in stored units
//                   (0 to 32767); bit 15 a marker that is masked off wherever a height is used
//   point_xz        number_of_points entries of i16 x, i16 z: the point's position in the
//                   horizontal plane, in terrain units
//   polygon_codes   number_of_polygons bytes: bits 0-6 the polygon's vertex count n (0 to 127);
//                   bit 7 set starts a new type run
//   type_runs       one terrain type number (a byte) per type run: polygon k has type
//                   type_runs[c], c being the number of polygons 0 to k (k included) whose code
//                   has bit 7 set, so a set bit on polygon 0 already gives it type_runs[1]
//   vertex_indices  the vertex lists of all polygons one after another, polygon k's n_k
//                   entries following those of polygons 0 to k - 1. An entry is a point number
//                   of the sector: an unsigned byte when number_of_points is 256 or less, a u16
//                   when it is 257 or more
//   aux_block       not interpreted
//
// "default.rgb", the colour data: a 32-bit word not interpreted, then the blocks that
// rgb_offset_1 and rgb_offset_2 point at, which this tool only resolves.

/// The three files' names.
inline constexpr const char* sector_table_file_name = "default.sec";
inline constexpr const char* terrain_file_name = "terrain.ffp";
inline constexpr const char* rgb_file_name = "default.rgb";

/// One sector of the grid. Each reference points into `terrain_data` (or `rgb_data`) at the
/// record's offset for that array; it is null when the offset lies outside the file, so
/// that no pointer is ever formed outside a buffer. How much of an array really lies in the
/// file is checked by the code that reads it, for the sector it reads.
struct terrain_sector {
    std::int32_t rgb_offset_1;
    std::int32_t rgb_offset_2;
    std::uint16_t number_of_points;
    std::uint16_t number_of_polygons;
    std::uint16_t aux_words[5];
    const unsigned char* point_xz;
    const unsigned char* heights;
    const unsigned char* polygon_codes;
    const unsigned char* vertex_indices;
    const unsigned char* type_runs;
    const unsigned char* aux_block;
    const unsigned char* rgb_block_2;
    const unsigned char* rgb_block_1;
};

inline constexpr std::size_t sector_header_size = 16;
inline constexpr std::size_t sector_record_size = 48;

/// The whole of "terrain.ffp" and of "default.rgb" (mapped read-only by `load_terrain`).
extern std::span<const unsigned char> terrain_data;
extern std::span<const unsigned char> rgb_data;

extern std::uint16_t row_length;
extern std::uint16_t row_count;

/// `row_count` rows of `row_length` sectors: terrain_sectors[row][column].
extern terrain_sector** terrain_sectors;

/// Opens the three terrain files, maps "terrain.ffp" and "default.rgb" and reads the sector
/// table, printing each step. Returns only on success; any failure prints its message and
/// ends the run with status 1.
void load_terrain();

/// The sector table part of `load_terrain` on bytes already in memory, for tests and fuzzing:
/// reads the header and records from `sector_file` and resolves their references into
/// `terrain` and `rgb`, which become `terrain_data` and `rgb_data` and must outlive the table.
void load_terrain_from_bytes(std::span<const unsigned char> sector_file,
                             std::span<const unsigned char> terrain, std::span<const unsigned char> rgb);

/// Frees the sector table and releases the mapped files; the tables are empty afterwards.
void free_terrain();

/// terrain_sectors[row][column]; a row or column outside the grid ends the run with a message.
const terrain_sector& sector_at(int row, int column);

/// Ends the run with a message unless `size` bytes from `start` lie inside "terrain.ffp".
/// `what` names the array in the message; an empty array lies anywhere.
void require_terrain_bytes(const unsigned char* start, std::size_t size, const char* what, int row,
                           int column);
