// Writes the seed corpus of every fuzz target: `make_seeds DIR` fills DIR/<target>/ with
// inputs made by the project's own format writers. Each target gets the files of the sample
// map and a few small inputs that reach its edge cases cheaply; the fuzzer mutates from
// there.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "bridge_file.hpp"
#include "bridges.hpp"
#include "fuzz_support.hpp"
#include "land_cover_outline.hpp"
#include "marker_file.hpp"
#include "road_file.hpp"
#include "road_network_files.hpp"
#include "road_table.hpp"
#include "sample_map.hpp"
#include "section_quads.hpp"
#include "terrain_files.hpp"

namespace {

namespace fs = std::filesystem;

fs::path seed_root;

[[noreturn]] void give_up(const std::string& what) {
    std::fprintf(stderr, "make_seeds: %s\n", what.c_str());
    std::exit(1);
}

void put_seed(const char* target, const std::string& name, const byte_buffer& bytes) {
    const fs::path dir = seed_root / target;
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) give_up("cannot write " + (dir / name).string());
}

byte_buffer read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) give_up("cannot read " + path.string());
    return byte_buffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using road_points = std::vector<road_file_point>;

byte_buffer road_file(const std::vector<road_points>& roads) {
    byte_buffer out;
    put_road_count(out, static_cast<std::int32_t>(roads.size()));
    std::int32_t attribute = 1;
    for (const road_points& points : roads) {
        put_road_entry(out, attribute, attribute + 100, points.data(),
                       static_cast<std::int32_t>(points.size()));
        ++attribute;
    }
    return out;
}

byte_buffer joined(const byte_buffer& first, const byte_buffer& rest) {
    byte_buffer out;
    put_length_prefixed(out, first);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

bridge_file_entry bridge(float x1, float z1, float x2, float z2) {
    return bridge_file_entry{x1, 0.0f, z1, x2, 0.0f, z2, {0, 0, 0, 0}};
}

byte_buffer terrain_input(std::int32_t row, std::int32_t column, const terrain_map& map) {
    byte_buffer out;
    put_i32_le(out, row);
    put_i32_le(out, column);
    put_length_prefixed(out, encode_sector_file(map));
    put_length_prefixed(out, encode_terrain_file(map));
    byte_buffer rgb = encode_rgb_file(map);
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

/// A sector of `side` x `side` points on a unit grid with one polygon of every kind the
/// exporter knows: a fan, a strip, a polygon of two vertices (no triangle) and a new run.
terrain_file_sector small_sector(int side) {
    terrain_file_sector sector;
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            sector.points.push_back({static_cast<std::uint16_t>(0x8000 | (r * 7 + c)),
                                     static_cast<std::int16_t>(c * 10), static_cast<std::int16_t>(-r * 10)});
        }
    }
    auto at = [side](int r, int c) { return static_cast<std::uint16_t>(r * side + c); };
    // Type run 0: a fan (type 2); then a new run of a strip (type 1), then two vertices.
    sector.polygon_codes = {4, 0x80 | 6, 2};
    sector.vertex_indices = {at(0, 0), at(1, 0), at(1, 1), at(0, 1), at(0, 1), at(1, 1),
                             at(0, 2), at(1, 2), at(0, 3), at(1, 3), at(2, 2), at(2, 3)};
    sector.type_runs = {2, 1};
    sector.aux_block = {1, 2, 3, 4};
    sector.rgb_block_1 = {0x10, 0x20, 0x30};
    sector.rgb_block_2 = {0x40};
    return sector;
}

void road_seeds(const fs::path& sample) {
    const byte_buffer sample_roads = read_bytes(sample / "Grand.ROAD");
    put_seed("fuzz_road_file", "sample_map", sample_roads);
    put_seed("fuzz_road_file", "no_roads", road_file({}));
    put_seed("fuzz_road_file", "empty_and_single_point_roads", road_file({{}, {{1234, -250}}}));
    // A bend, a straight run, a repeated point and a road that turns straight back.
    put_seed("fuzz_road_file", "joints",
             road_file({{{0, 0}, {1000, 0}, {1000, 0}, {2000, 0}, {2000, 1500}, {2000, 0}, {-300, -700}}}));
    put_seed("fuzz_road_file", "far_corners",
             road_file({{{2147483600, 0}, {2147483600, 10000}}, {{-2147483647, -2147483647}, {0, 0}}}));

    // The capacities: 256 roads, the last of 512 points.
    std::vector<road_points> full(255, road_points{{0, 0}, {500, 500}});
    full.emplace_back();
    for (std::int32_t j = 0; j < 512; ++j) full.back().push_back({j * 100, (j % 3) * 100});
    const byte_buffer full_table = road_file(full);
    put_seed("fuzz_road_file", "full_table", full_table);

    const byte_buffer sample_bridges = read_bytes(sample / "bridge.dat");
    put_seed("fuzz_bridge_file", "sample_map", joined(sample_roads, sample_bridges));
    const byte_buffer straight = road_file({{{0, 0}, {1000, 0}, {2000, 0}}});
    put_seed("fuzz_bridge_file", "one_cut", joined(straight, encode_bridge_file({bridge(12, 0, 18, 0)})));
    put_seed("fuzz_bridge_file", "cut_at_an_inner_point",
             joined(straight, encode_bridge_file({bridge(10, 0, 18, 0), bridge(15, 0, 16, 0)})));
    put_seed("fuzz_bridge_file", "no_bridges", joined(straight, encode_bridge_file({})));
    put_seed("fuzz_bridge_file", "full_table",
             joined(full_table, encode_bridge_file({bridge(2.5f, 2.5f, 3, 3)})));
}

void marker_seeds(const fs::path& sample) {
    const fs::path shots = sample / "drive_c" / "Hollowmere" / "vantrel" / "scrnshot";
    for (int n = 0; n < 4; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "IMAGE%03d.TXT", n);
        put_seed("fuzz_marker_file", std::string("sample_map_") + name, read_bytes(shots / name));
    }
    put_seed("fuzz_marker_file", "line_feeds",
             encode_marker_file({"  -1234.9", "y", "1234.9 m", "4", "5"}, "\n"));
    put_seed(
        "fuzz_marker_file", "long_lines",
        encode_marker_file({"12345678901234567890", "text only", "1e7", "123456789", "12345678"}, "\r\n"));
    byte_buffer cut = encode_marker_file({"10", "20", "30"}, "\n");
    cut.push_back(0x1A);
    put_seed("fuzz_marker_file", "ends_at_ctrl_z", cut);
}

void terrain_seeds(const fs::path& sample) {
    const byte_buffer sector_file = read_bytes(sample / "default.sec");
    const byte_buffer terrain_file = read_bytes(sample / "terrain.ffp");
    const byte_buffer rgb_file = read_bytes(sample / "default.rgb");
    for (auto [row, column] : {std::pair{2, 3}}) {
        byte_buffer input;
        put_i32_le(input, row);
        put_i32_le(input, column);
        put_length_prefixed(input, sector_file);
        put_length_prefixed(input, terrain_file);
        input.insert(input.end(), rgb_file.begin(), rgb_file.end());
        put_seed("fuzz_terrain", "sample_map_" + std::to_string(row) + "_" + std::to_string(column), input);
    }

    terrain_map small;
    small.row_length = 2;
    small.row_count = 1;
    small.height_max = 100.0f;
    small.sectors = {small_sector(4), small_sector(17)};
    put_seed("fuzz_terrain", "byte_vertex_numbers", terrain_input(0, 0, small));
    put_seed("fuzz_terrain", "word_vertex_numbers", terrain_input(0, 1, small));
    put_seed("fuzz_terrain", "outside_the_grid", terrain_input(1, -1, small));
}

void outline_seeds(const fs::path& sample) {
    // The sample map's outlines, as road_outline makes them: its roads cut at its bridges.
    decode_road_file(read_bytes(sample / "Grand.ROAD"));
    decode_bridge_file(read_bytes(sample / "bridge.dat"));
    split_roads_at_bridges();
    build_section_quads();
    put_seed("fuzz_land_cover_outline", "sample_map", encode_land_cover_outline());

    byte_buffer small;
    put_i32_le(small, 3);
    for (std::int32_t vertices : {0, 2, 4}) {
        put_i32_le(small, outline_code);
        small.insert(small.end(), outline_bytes, outline_bytes + sizeof outline_bytes);
        put_i32_le(small, vertices);
        for (std::int32_t v = 0; v < vertices; ++v) {
            put_i32_le(small, v % 2 == 0 ? 2147483647 : -2147483647 - 1);
            put_i32_le(small, v * 1000);
        }
    }
    put_seed("fuzz_land_cover_outline", "extremes", small);
    put_seed("fuzz_land_cover_outline", "no_outlines", byte_buffer{0, 0, 0, 0});
}

void network_seeds(const fs::path& sample) {
    put_seed("fuzz_node_file", "sample_map", read_bytes(sample / "ROADS.NDE"));
    put_seed("fuzz_node_file", "no_nodes", encode_node_position_file({}));
    put_seed("fuzz_node_file", "two_nodes",
             encode_node_position_file({{1.5f, 2.0f, -3.25f}, {-0.9f, 0, 0.9f}}));

    put_seed("fuzz_path_file", "sample_map", read_bytes(sample / "ROADS.WP"));
    put_seed("fuzz_path_file", "no_paths", encode_path_file({}));
    put_seed("fuzz_path_file", "short_paths",
             encode_path_file({{0, 1, 2, {}},
                               {1, 2, 3, {{5, 6, 7}}},
                               {2, 3, 4, {{-0.9f, 1, 0.9f}, {0.9f, 2, -0.9f}, {46340, 0, 0}}}}));

    put_seed("fuzz_road_graph", "sample_map", read_bytes(sample / "roads.dat"));
    put_seed("fuzz_road_graph", "no_road_nodes", encode_road_graph_file({1000, 2000, {}}));
    put_seed("fuzz_road_graph", "links",
             encode_road_graph_file({1000, 2000, {{16383, 7, {{0, -5}, {16383, 12}}}, {0, 0, {}}}}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) give_up("usage: make_seeds DIR");
    seed_root = argv[1];
    const fs::path sample = seed_root / "sample_map";
    fs::create_directories(sample);
    write_sample_map(sample, make_sample_layout(1));
    road_seeds(sample);
    marker_seeds(sample);
    terrain_seeds(sample);
    network_seeds(sample);
    outline_seeds(sample);
    fs::remove_all(sample);
    return 0;
}
