#pragma once

#include <cstdint>

#include "byte_order.hpp"
#include "road_table.hpp"

// "bridge.dat", the bridges at which roads are cut: little-endian, no magic number.
//
//   bridge count            int32   number of bridge entries that follow (at most 256)
//   per bridge, 40 bytes:
//     end1 x, y, z          float32 metres; the road is cut at end1 (y is not kept)
//     end2 x, y, z          float32 metres; the road resumes at end2 (y is not kept)
//     four words            4 bytes each, not kept
//
// Bytes after the last entry are not read. A file cut short, a negative count, more bridges
// than the table holds or an end that is not a finite number is refused with a message.

/// The bridge file's name.
inline constexpr const char* bridge_file_name = "bridge.dat";

/// Stage: prints "bridge.dat opened" and reads "bridge.dat" from the working directory into
/// `bridges` and `bridge_count`, then prints "Bridge data read in". When the file cannot be
/// opened it prints "cannot open bridge.dat" and returns false, and the run goes on with
/// the bridge table as it was.
bool read_bridges();

/// Decodes "bridge.dat" bytes into the bridge table; the checks of `read_bridges`.
void decode_bridge_file(const byte_buffer& bytes);

/// 1 when `b` lies in the rectangle spanned by `a` and `c` on x and z, bounds included,
/// else 0; compared as 32-bit floats.
int point_in_box(bridge_end a, bridge_end b, bridge_end c);

/// Stage: cuts every road whose section holds a bridge's end1 in its bounding rectangle:
/// the piece ends at end1 and the next piece begins at end2. The pieces replace the roads
/// (each keeps the attribute words of the slot it lands in), and the console gets the old
/// roads, the bridges and the pieces. A cut that would make more roads than the table holds
/// ends the run with a message before the table changes. The quads are left stale.
void split_roads_at_bridges();
