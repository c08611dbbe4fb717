#pragma once

#include <cstdint>
#include <vector>

#include "byte_order.hpp"

// "bridge.dat": a little-endian int32 bridge count, then 40 bytes per bridge: end1 x, y, z
// and end2 x, y, z as 32-bit floats in metres, then four 32-bit words that the road tool
// reads past. The road tool keeps only x and z of each end.

struct bridge_file_entry {
    float end1_x, end1_y, end1_z;
    float end2_x, end2_y, end2_z;
    std::uint32_t trailing[4];
};

/// The bytes of a "bridge.dat" holding `bridges`, with their number as the count.
byte_buffer encode_bridge_file(const std::vector<bridge_file_entry>& bridges);
