#include <algorithm>
#include <cmath>

#include "sample_map.hpp"
#include "terrain_files.hpp"

namespace {

namespace fs = std::filesystem;

constexpr float height_max_metres = 600.0f;

// Terrain types the map uses: the strip types draw runs of cells as triangle strips, the
// fan types draw one cell as a fan of two triangles.
constexpr std::uint8_t sand_strip = 3;
constexpr std::uint8_t grass_strip = 25;
constexpr std::uint8_t rock_strip = 26;
constexpr std::uint8_t snow_strip = 29;
constexpr std::uint8_t water_fan = 2;
constexpr std::uint8_t grass_fan = 9;
constexpr std::uint8_t earth_fan = 24;

/// A polygon's vertex count is 7 bits; a strip of two rows of points takes 63 cells.
constexpr int max_strip_cells = 62;

std::uint8_t strip_type(double height) {
    if (height > 260) return snow_strip;
    if (height > 170) return rock_strip;
    if (height < 40) return sand_strip;
    return grass_strip;
}

struct sector_builder {
    terrain_file_sector sector;
    int side;
    std::vector<double> heights;  // per point, metres
    std::vector<double> xs, zs;   // per point, metres

    int point(int r, int c) const { return r * side + c; }

    void add_polygon(const std::vector<int>& vertices, std::uint8_t type) {
        std::uint8_t code = static_cast<std::uint8_t>(vertices.size());
        if (sector.type_runs.empty()) {
            sector.type_runs.push_back(type);
        } else if (sector.type_runs.back() != type) {
            // Bit 7 opens a new run of polygons of another type.
            sector.type_runs.push_back(type);
            code |= 0x80;
        }
        sector.polygon_codes.push_back(code);
        for (int v : vertices) sector.vertex_indices.push_back(static_cast<std::uint16_t>(v));
    }
};

}  // namespace

terrain_file_sector sample_sector(const sample_layout& layout, int row, int column) {
    const int p = layout.sector_side;
    const double w = river_half_width(layout);
    sector_builder b{{}, p, {}, {}, {}};
    std::vector<ground_factors> along_x;
    for (int c = 0; c < p; ++c) {
        along_x.push_back(
            ground_factors_along_x(layout, static_cast<double>(column * (p - 1) + c) * layout.spacing));
    }
    for (int r = 0; r < p; ++r) {
        const int gz = row * (p - 1) + r;
        const double z = static_cast<double>(gz) * layout.spacing;
        const ground_factors along_z = ground_factors_along_z(layout, z);
        for (int c = 0; c < p; ++c) {
            const int gx = column * (p - 1) + c;
            const double x = static_cast<double>(gx) * layout.spacing;
            const double h = ground_height(layout, x, along_x[c], along_z);
            auto stored = static_cast<std::uint16_t>(
                std::clamp(std::lround(h / height_max_metres * 32767), 0L, 32767L));
            // Bit 15 marks the river bed; readers use the low 15 bits.
            if (std::fabs(x - along_z.river) < w) stored |= 0x8000;
            b.sector.points.push_back({stored, static_cast<std::int16_t>(gx * layout.spacing),
                                       static_cast<std::int16_t>(gz * layout.spacing)});
            b.heights.push_back(h);
            b.xs.push_back(x);
            b.zs.push_back(z);
            // One colour per point: water, grass or rock.
            const std::uint8_t shade = static_cast<std::uint8_t>(std::clamp(h / 2.4, 0.0, 255.0));
            if (stored & 0x8000) {
                b.sector.rgb_block_1.insert(b.sector.rgb_block_1.end(), {4, 103, 115});
            } else {
                b.sector.rgb_block_1.insert(b.sector.rgb_block_1.end(), {61, shade, 75});
            }
        }
    }
    for (int r = 0; r + 1 < p; ++r) {
        // Rows of cells near the river are drawn cell by cell as fans, the others as strips.
        const double river = river_x(layout, b.zs[b.point(r, 0)]);
        bool near_river = false;
        for (int c = 0; c < p; ++c) {
            if (std::fabs(b.xs[b.point(r, c)] - river) < 2 * w + layout.spacing) near_river = true;
        }
        if (near_river) {
            for (int c = 0; c + 1 < p; ++c) {
                const int k = b.point(r, c);
                const double xm = b.xs[k] + layout.spacing / 2.0;
                const double zm = b.zs[k] + layout.spacing / 2.0;
                const double h = ground_height(layout, xm, zm);
                std::uint8_t type = h > 170 ? earth_fan : grass_fan;
                if (std::fabs(xm - river_x(layout, zm)) < w) type = water_fan;
                b.add_polygon({b.point(r, c), b.point(r + 1, c), b.point(r + 1, c + 1), b.point(r, c + 1)},
                              type);
            }
            continue;
        }
        for (int c0 = 0; c0 + 1 < p; c0 += max_strip_cells) {
            const int c1 = std::min(c0 + max_strip_cells, p - 1);
            std::vector<int> vertices;
            double sum = 0;
            for (int c = c0; c <= c1; ++c) {
                vertices.push_back(b.point(r, c));
                vertices.push_back(b.point(r + 1, c));
                sum += b.heights[b.point(r, c)] + b.heights[b.point(r + 1, c)];
            }
            b.add_polygon(vertices, strip_type(sum / static_cast<double>(vertices.size())));
        }
    }
    b.sector.aux_words[0] = static_cast<std::uint16_t>(row);
    b.sector.aux_words[1] = static_cast<std::uint16_t>(column);
    b.sector.aux_block = {
        static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column), 0, 0, 0, 0, 0, 0};
    b.sector.rgb_block_2 = {static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column), 0xFF, 0};
    return b.sector;
}

void write_sample_terrain(const fs::path& dir, const sample_layout& layout) {
    terrain_map map;
    map.sector_file_word = 0x00010001;
    map.terrain_file_word = 0x00010001;
    map.rgb_file_word = 0x00010001;
    map.row_length = static_cast<std::uint16_t>(layout.grid_side);
    map.row_count = static_cast<std::uint16_t>(layout.grid_side);
    map.height_min = 0.0f;
    map.height_max = height_max_metres;
    for (int row = 0; row < layout.grid_side; ++row) {
        for (int column = 0; column < layout.grid_side; ++column)
            map.sectors.push_back(sample_sector(layout, row, column));
    }
    write_sample_file(dir, "default.sec", encode_sector_file(map));
    write_sample_file(dir, "terrain.ffp", encode_terrain_file(map));
    write_sample_file(dir, "default.rgb", encode_rgb_file(map));
}
