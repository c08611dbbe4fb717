#include "sample_map.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fail.hpp"
#include "file_io.hpp"

namespace {

constexpr double pi = 3.14159265358979323846;

/// The largest coordinate a terrain point may have: point positions are signed 16-bit.
constexpr int max_terrain_coordinate = 32000;

struct hill {
    double x, z;    // fractions of the extent
    double radius;  // fraction of the extent
    double height;  // metres
};

constexpr hill hills[] = {
    {0.20, 0.25, 0.14, 260.0}, {0.82, 0.72, 0.16, 340.0}, {0.30, 0.80, 0.12, 200.0},
    {0.78, 0.18, 0.10, 150.0}, {0.10, 0.55, 0.09, 120.0},
};

}  // namespace

sample_layout make_sample_layout(int scale, int grid_side) {
    if (scale < 1 || scale > max_sample_scale) fail("the scale must be 1 to %d", max_sample_scale);
    if (grid_side < 0 || grid_side > max_sample_grid)
        fail("the grid must be 1 to %d sectors", max_sample_grid);
    const double f = std::pow(static_cast<double>(scale), 0.25);
    sample_layout layout{};
    layout.scale = scale;
    layout.grid_side = grid_side > 0 ? grid_side : std::max(2, static_cast<int>(std::lround(6 * f)));
    layout.sector_side = std::clamp(static_cast<int>(std::lround(16 * f)), 4, 255);
    const int cells = layout.grid_side * (layout.sector_side - 1);
    // Terrain point positions are signed 16-bit.
    if (cells > max_terrain_coordinate) {
        fail("a grid of %d sectors of %d points is too large: at most %d sectors per side at this scale",
             layout.grid_side, layout.sector_side, max_terrain_coordinate / (layout.sector_side - 1));
    }
    layout.spacing = std::clamp(max_terrain_coordinate / cells, 1, 64);
    layout.extent = static_cast<double>(cells) * layout.spacing;
    return layout;
}

double river_x(const sample_layout& layout, double z) {
    const double e = layout.extent;
    return e * (0.55 + 0.06 * std::sin(2 * pi * 1.5 * z / e));
}

double river_half_width(const sample_layout& layout) { return 0.012 * layout.extent; }

ground_factors ground_factors_along_x(const sample_layout& layout, double x) {
    const double e = layout.extent;
    ground_factors f{};
    f.wave = std::sin(2 * pi * 3 * x / e);
    for (std::size_t k = 0; k < std::size(hills); ++k) {
        const double d = x / e - hills[k].x;
        f.hill[k] = std::exp(-(d * d) / (hills[k].radius * hills[k].radius));
    }
    return f;
}

ground_factors ground_factors_along_z(const sample_layout& layout, double z) {
    const double e = layout.extent;
    ground_factors f{};
    f.wave = std::cos(2 * pi * 2 * z / e);
    for (std::size_t k = 0; k < std::size(hills); ++k) {
        const double d = z / e - hills[k].z;
        f.hill[k] = std::exp(-(d * d) / (hills[k].radius * hills[k].radius));
    }
    f.river = river_x(layout, z);
    return f;
}

double ground_height(const sample_layout& layout, double x, const ground_factors& along_x,
                     const ground_factors& along_z) {
    const double e = layout.extent;
    double h = 60.0 + 15.0 * along_x.wave * along_z.wave;
    for (std::size_t k = 0; k < std::size(hills); ++k)
        h += hills[k].height * (along_x.hill[k] * along_z.hill[k]);
    // The valley: the ground falls towards the river, whose bed is flat.
    const double d = std::fabs(x - along_z.river);
    const double w = river_half_width(layout);
    if (d < w) return 10.0;
    const double valley = 1.0 - 0.85 * std::exp(-((d - w) * (d - w)) / (0.01 * e * e));
    return 10.0 + (h - 10.0) * valley;
}

double ground_height(const sample_layout& layout, double x, double z) {
    return ground_height(layout, x, ground_factors_along_x(layout, x), ground_factors_along_z(layout, z));
}

void write_sample_file(const std::filesystem::path& dir, const std::string& name, const byte_buffer& bytes) {
    const std::string path = (dir / name).string();
    output_file out = open_output(path.c_str(), name.c_str());
    write_output(out, bytes.data(), bytes.size());
    commit_output(out);
    std::printf("%s  %zu bytes\n", name.c_str(), bytes.size());
}

void write_sample_map(const std::filesystem::path& dir, const sample_layout& layout) {
    write_sample_roads(dir, layout);
    write_sample_terrain(dir, layout);
    write_sample_network(dir, layout);
}
