// A screenshot marker file: the input is the bytes of IMAGE000.TXT. The marker stage reads it
// from the screenshot directory below the scratch directory, which stands for drive C: in
// this build, and stops at the missing IMAGE001.TXT; the marker road then goes into a road
// file made in memory.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "fuzz_support.hpp"
#include "road_file.hpp"
#include "road_table_reset.hpp"
#include "screenshot_markers.hpp"

// This build's drive C: is the scratch directory it runs in.
extern const char* const drive_root = ".";

namespace {

constexpr const char* marker_directory = "Hollowmere/vantrel/scrnshot";
constexpr const char* marker_file = "Hollowmere/vantrel/scrnshot/IMAGE000.TXT";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    std::filesystem::create_directories(marker_directory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    reset_road_table();
    write_scratch_file(marker_file, {data, size});
    if (!run_until_failure([] { read_screenshot_markers(); })) return 0;
    run_until_failure([] { encode_road_file(); });
    return 0;
}
