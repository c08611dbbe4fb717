#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fail.hpp"
#include "sample_map.hpp"

namespace {

constexpr const char* usage =
    "usage: sample_map DIR [--scale N] [--grid G]  (N from 1 to %d, default 1; G sectors per side, 1 to %d, "
    "default from N)";

[[noreturn]] void fail_usage() { fail(usage, max_sample_scale, max_sample_grid); }

int parse_number(const char* text, int low, int high) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < low || value > high) fail_usage();
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) fail_usage();
    int scale = 1;
    int grid = 0;
    for (int i = 2; i < argc; i += 2) {
        if (std::strcmp(argv[i], "--scale") == 0) {
            scale = parse_number(argv[i + 1], 1, max_sample_scale);
        } else if (std::strcmp(argv[i], "--grid") == 0) {
            grid = parse_number(argv[i + 1], 1, max_sample_grid);
        } else {
            fail_usage();
        }
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) fail("cannot create %s (%s)", dir.string().c_str(), error.message().c_str());

    const sample_layout layout = make_sample_layout(scale, grid);
    std::printf("sample map, scale %d: %.0f m square, %d x %d terrain sectors of %d x %d points\n", scale,
                layout.extent, layout.grid_side, layout.grid_side, layout.sector_side, layout.sector_side);
    write_sample_map(dir, layout);
    return 0;
}
