#include "bridge_file.hpp"

byte_buffer encode_bridge_file(const std::vector<bridge_file_entry>& bridges) {
    byte_buffer out;
    put_i32_le(out, static_cast<std::int32_t>(bridges.size()));
    for (const bridge_file_entry& bridge : bridges) {
        put_f32_le(out, bridge.end1_x);
        put_f32_le(out, bridge.end1_y);
        put_f32_le(out, bridge.end1_z);
        put_f32_le(out, bridge.end2_x);
        put_f32_le(out, bridge.end2_y);
        put_f32_le(out, bridge.end2_z);
        for (std::uint32_t word : bridge.trailing) put_u32_le(out, word);
    }
    return out;
}
