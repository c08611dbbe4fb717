// The road file: the input is the bytes of a "Grand.ROAD". A file the loader takes goes on
// through every stage that works on the loaded roads, each output made in memory: the road
// log, the road file written back with an empty marker road, and the section quads with the
// quad log and "map.LCOV".

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "land_cover_outline.hpp"
#include "quad_log.hpp"
#include "road_file.hpp"
#include "road_log.hpp"
#include "road_table_reset.hpp"
#include "section_quads.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    reset_road_table();
    const byte_buffer bytes(data, data + size);
    if (!run_until_failure([&] { decode_road_file(bytes); })) return 0;
    run_until_failure([] {
        format_road_log();
        // Refuses a full table, which leaves no room for the marker road.
        encode_road_file();
    });
    run_until_failure([] {
        build_section_quads();
        format_quad_log();
        encode_land_cover_outline();
    });
    return 0;
}
