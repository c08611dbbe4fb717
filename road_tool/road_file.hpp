#pragma once

#include <cstdint>
#include <optional>

#include "byte_order.hpp"

// "Grand.ROAD", the map's road file: a flat sequence of little-endian int32 values, with
// no magic number, no version and no trailer.
//
//   road count                 number of road entries that follow
//   road entries, one after another:
//     attribute_1              copied to and from the road record unchanged
//     attribute_2              likewise
//     point count              number of point entries that follow
//     point entries:
//       x                      whole centimetres
//       z                      whole centimetres
//
// A file with R roads and P points in all is 4 + 12 R + 8 P bytes. The section count is
// not stored; the loader derives it. The writer appends one road more than the table
// holds, the marker road, whose points are the screenshot markers.

/// The road file's name.
inline constexpr const char* road_file_name = "Grand.ROAD";

/// Stage: prints "reading road file", reads the road file at `path` into `roads` and
/// `road_count`. Messages name "Grand.ROAD" whatever path is opened. A file that is cut
/// short or whose counts do not fit the road table ends the run with a message.
void load_road_file(const char* path);

/// Decodes road file bytes into the road table; the checks of `load_road_file`.
void decode_road_file(const byte_buffer& bytes);

/// Stage: prints "writing road file" and replaces "Grand.ROAD" in the working directory
/// with the road table and, as one road more, the marker road.
void write_road_file();

/// The road file's encoding of the road table and the marker road.
byte_buffer encode_road_file();

/// A point as the road file stores it, in whole centimetres.
struct road_file_point {
    std::int32_t x;
    std::int32_t z;
};

/// Appends the road count that begins a road file.
void put_road_count(byte_buffer& out, std::int32_t count);

/// Appends one road entry: its attribute words, its point count and its points.
void put_road_entry(byte_buffer& out, std::int32_t attribute_1, std::int32_t attribute_2,
                    const road_file_point* points, std::int32_t point_count);

/// A coordinate in metres as the nearest whole centimetre, or nothing when that does not
/// fit an int32 (or the value is not a number).
std::optional<std::int32_t> centimetres_from_metres(double metres);
