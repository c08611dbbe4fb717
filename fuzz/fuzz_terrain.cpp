// The terrain trio with the export of one chosen sector. The input is
//
//   i32            sector row       (little-endian, like every length below)
//   i32            sector column
//   u32 + bytes    "default.sec", its length first
//   u32 + bytes    "terrain.ffp", its length first
//   the rest       "default.rgb"
//
// The sector table is read from the bytes as the loader reads it from the files, the type
// table is built as the program builds it, and the chosen sector is checked and encoded as a
// LightWave object in memory. The heap tables are freed after every input.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "lwob_writer.hpp"
#include "terrain.hpp"
#include "terrain_types.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    build_terrain_types();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    input_parts input{data, size};
    const int row = take_part_i32(input);
    const int column = take_part_i32(input);
    // Copies, so that a read past a file's end meets the end of its own allocation.
    const std::span<const unsigned char> sector_part = take_length_prefixed(input);
    const std::span<const unsigned char> terrain_part = take_length_prefixed(input);
    const std::span<const unsigned char> rgb_part = take_rest(input);
    const byte_buffer sector_file(sector_part.begin(), sector_part.end());
    const byte_buffer terrain_file(terrain_part.begin(), terrain_part.end());
    const byte_buffer rgb_file(rgb_part.begin(), rgb_part.end());
    run_until_failure([&] {
        load_terrain_from_bytes(sector_file, terrain_file, rgb_file);
        check_sector_export(row, column);
        encode_sector_lwo(terrain_sectors[row][column]);
    });
    free_terrain();
    return 0;
}
