#pragma once

#include <cstdint>
#include <vector>

#include "byte_order.hpp"

// "map.LCOV", the land-cover outline file: one closed polygon per road, in whole
// centimetres. Little-endian, no padding, no trailer.
//
//   road count              int32   number of outline records that follow
//   per road, in road table order:
//     outline code          int32   always 10
//     outline bytes         4 bytes always 0x80 0x40 0x00 0x00
//     vertex count          int32   2 * sections + 2; 0 for a road of fewer than two points
//     per vertex: x, z      int32   centimetres, the metres times 100.0 truncated toward zero
//
// The vertices of a road of n sections run out along the left-hand edge and back along the
// right-hand edge: q of quads 0 to n - 1, r of quad n - 1, s of quads n - 1 down to 0, p of
// quad 0. The polygon closes implicitly; the last vertex does not repeat the first.
//
// The reader keeps the code and the four bytes of each record as they stand (the road tool
// writes only 10 and 80 40 00 00), and ignores bytes after the last record. A file cut
// short, or a negative count, is refused with a message naming "map.LCOV".

/// The outline file's name.
inline constexpr const char* outline_file_name = "map.LCOV";

inline constexpr std::int32_t outline_code = 10;
inline constexpr unsigned char outline_bytes[4] = {0x80, 0x40, 0x00, 0x00};

/// Stage: replaces "map.LCOV" in the working directory with the outline of every road. A
/// corner whose centimetres are not finite or do not fit an int32 ends the run with a
/// message naming the road, before the file is touched.
void write_land_cover_outline();

/// The bytes of "map.LCOV" for the road table's quads.
byte_buffer encode_land_cover_outline();

/// One vertex of an outline, in whole centimetres as stored.
struct outline_vertex {
    std::int32_t x;
    std::int32_t z;
};

/// One outline record as stored.
struct outline_record {
    std::int32_t code;
    unsigned char bytes[4];
    std::vector<outline_vertex> vertices;
};

/// Decodes "map.LCOV" bytes into one record per outline, in file order. A file cut short or
/// a negative count ends the run with a message naming "map.LCOV".
std::vector<outline_record> decode_land_cover_outline(const byte_buffer& bytes);
