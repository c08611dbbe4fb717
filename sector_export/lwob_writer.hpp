#pragma once

#include "byte_order.hpp"
#include "terrain.hpp"

// One terrain sector as a LightWave object: an IFF "FORM" of type "LWOB", big-endian
// throughout. With P the sector's points and T the triangles its polygons give:
//
//   "FORM"  u32 12 P + 10 T + 2590 (every byte after this field)  "LWOB"
//   "SRFS"  u32 488   61 surface names of 8 bytes, "0000001\0" to "0000061\0": the surface of
//                     terrain type t is the t-th name, so surface numbers are type numbers
//   "PNTS"  u32 12 P  per point f32 x, y, z: x and z from point_xz, y the stored height,
//                     all in terrain units as stored
//   "POLS"  u32 10 T  per triangle u16 3, three u16 point numbers, u16 surface number
//   61 x    "SURF" u32 26, the name, "COLR" u16 4, red, green, blue, 0, "LUMI" u16 2, u16 170
//
// A polygon of n vertices gives n - 2 triangles (none below 3): a fan type gives v0 v(i+1)
// v(i+2), a strip type vi v(i+1) v(i+2) for even i and vi v(i+2) v(i+1) for odd i, so that
// every triangle of a strip keeps one winding.

/// Ends the run with a message unless terrain_sectors[row][column] exists and exporting it
/// reads only inside "terrain.ffp" and writes a valid object: each array the export reads
/// lies in the file, and every polygon that gives triangles has a type of 1 to 61 and point
/// numbers below the sector's number of points. Polygons that give no triangles are only
/// counted and stepped over, as the writer does.
void check_sector_export(int row, int column);

/// The object's bytes for a sector that passed `check_sector_export`. The triangles are
/// counted in a first pass over the polygon codes, so every size is known when written.
byte_buffer encode_sector_lwo(const terrain_sector& sector);

/// Checks the sector, then replaces `file_name` with its object, printing "<name> opened ...".
/// The old file stays as it was when anything fails.
void write_sector_lwo(int row, int column, const char* file_name);
