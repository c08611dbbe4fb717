// "map.LCOV" through the map preview: the input is the file's bytes. The preview reads the
// map files of the scratch directory, where this one is the only one, through the road
// tool's reader, and draws them as its picture in memory.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "map_layers.hpp"
#include "preview_svg.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    write_scratch_file("map.LCOV", {data, size});
    run_until_failure([] { preview_svg_text(read_map_layers()); });
    return 0;
}
