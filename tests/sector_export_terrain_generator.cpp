// Writes a terrain of about the given size for the sector_export size benchmark
// (sector_export/bench_terrain_size.sh): a square grid of sectors, each a patch of 63 x 64
// points cut into 63 strips of 124 triangles (about 40 KiB of "terrain.ffp"). A sector's
// content depends only on its row and column, so the same sector of two terrains of
// different sizes exports to the same object.
//
//   sector_export_terrain_generator DIR BYTES

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "terrain_files.hpp"

namespace {

constexpr int patch_columns = 63;  // a strip of 126 vertices, within the 127 a code can hold
constexpr int patch_rows = 64;

terrain_file_sector patch(int row, int column) {
    terrain_file_sector sector;
    for (int r = 0; r < patch_rows; ++r) {
        for (int c = 0; c < patch_columns; ++c) {
            sector.points.push_back(
                {static_cast<std::uint16_t>((row * 131 + column * 71 + r * 37 + c * 13) % 32768),
                 static_cast<std::int16_t>(c * 64 - 2016), static_cast<std::int16_t>(r * 64 - 2048)});
        }
    }
    const std::uint8_t strip_types[] = {1, 3, 4, 8, 25, 43};
    sector.type_runs.push_back(29);
    for (int r = 0; r + 1 < patch_rows; ++r) {
        sector.polygon_codes.push_back(static_cast<std::uint8_t>(0x80 | 2 * patch_columns));
        sector.type_runs.push_back(strip_types[(row + column + r) % 6]);
        for (int c = 0; c < patch_columns; ++c) {
            sector.vertex_indices.push_back(static_cast<std::uint16_t>(r * patch_columns + c));
            sector.vertex_indices.push_back(static_cast<std::uint16_t>((r + 1) * patch_columns + c));
        }
    }
    sector.rgb_block_1.assign(64, static_cast<std::uint8_t>(row));
    sector.rgb_block_2.assign(64, static_cast<std::uint8_t>(column));
    return sector;
}

bool write_bytes(const std::string& path, const byte_buffer& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: sector_export_terrain_generator DIR BYTES\n");
        return 1;
    }
    const std::string dir = argv[1];
    const double target = std::strtod(argv[2], nullptr);
    terrain_map one_sector;
    one_sector.sectors = {patch(0, 0)};
    const double sector_bytes = static_cast<double>(encode_terrain_file(one_sector).size() - 4);
    const int side = std::max(1, static_cast<int>(std::lround(std::sqrt(target / sector_bytes))));

    terrain_map map;
    map.row_length = static_cast<std::uint16_t>(side);
    map.row_count = static_cast<std::uint16_t>(side);
    map.height_min = -100.0f;
    map.height_max = 2000.0f;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) map.sectors.push_back(patch(row, column));
    }
    bool written = write_bytes(dir + "/default.sec", encode_sector_file(map)) &&
                   write_bytes(dir + "/default.rgb", encode_rgb_file(map));
    byte_buffer terrain = encode_terrain_file(map);
    map.sectors.clear();
    map.sectors.shrink_to_fit();
    written = written && write_bytes(dir + "/terrain.ffp", terrain);
    if (!written) {
        std::printf("cannot write the terrain into %s\n", dir.c_str());
        return 1;
    }
    std::printf("%d x %d sectors, terrain.ffp %zu bytes\n", side, side, terrain.size());
    return 0;
}
