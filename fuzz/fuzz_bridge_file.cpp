// "bridge.dat", with the roads it cuts. The input is a road file and a bridge file:
//
//   u32            length L of the road file (little-endian)
//   L bytes        "Grand.ROAD"
//   the rest       "bridge.dat"
//
// Once both are loaded the roads are cut at the bridges, and the pieces go on through the
// section quads to the quad log and "map.LCOV", made in memory.

#include <cstddef>
#include <cstdint>

#include "bridges.hpp"
#include "fuzz_support.hpp"
#include "land_cover_outline.hpp"
#include "quad_log.hpp"
#include "road_file.hpp"
#include "road_table_reset.hpp"
#include "section_quads.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    reset_road_table();
    input_parts input{data, size};
    const std::span<const unsigned char> road_part = take_length_prefixed(input);
    const std::span<const unsigned char> bridge_part = take_rest(input);
    const byte_buffer road_file(road_part.begin(), road_part.end());
    const byte_buffer bridge_file(bridge_part.begin(), bridge_part.end());
    if (!run_until_failure([&] { decode_road_file(road_file); })) return 0;
    if (!run_until_failure([&] { decode_bridge_file(bridge_file); })) return 0;
    run_until_failure([] {
        split_roads_at_bridges();
        build_section_quads();
        format_quad_log();
        encode_land_cover_outline();
    });
    return 0;
}
