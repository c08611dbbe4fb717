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

constexpr const char* usage = "usage: sample_map DIR [--scale N]  (N from 1 to %d, default 1)";

int parse_scale(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < 1 || value > max_sample_scale) {
        fail(usage, max_sample_scale);
    }
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--scale") == 0)) fail(usage, max_sample_scale);
    const int scale = argc == 4 ? parse_scale(argv[3]) : 1;
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) fail("cannot create %s (%s)", dir.string().c_str(), error.message().c_str());

    const sample_layout layout = make_sample_layout(scale);
    std::printf("sample map, scale %d: %.0f m square, %d x %d terrain sectors of %d x %d points\n", scale,
                layout.extent, layout.grid_side, layout.grid_side, layout.sector_side, layout.sector_side);
    write_sample_map(dir, layout);
    return 0;
}
