#include "map_layers.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "bridges.hpp"
#include "byte_order.hpp"
#include "fail.hpp"
#include "file_io.hpp"
#include "land_cover_outline.hpp"
#include "node_path_report.hpp"
#include "road_file.hpp"
#include "road_table.hpp"
#include "terrain.hpp"

namespace {

/// Present is anything by that name, or a name the file system cannot answer for: the
/// reader then says what is wrong with it.
bool present(const char* name) {
    std::error_code error;
    return std::filesystem::exists(name, error) || error;
}

void say_absent(const char* name) { std::printf("%s absent\n", name); }

/// The whole file, which must be present: a file that cannot be opened after all ends the
/// run with "cannot open <name>".
byte_buffer read_input(const char* name) {
    byte_buffer bytes;
    if (!read_whole_file(name, name, bytes)) fail("cannot open %s", name);
    std::printf("%s opened\n", name);
    return bytes;
}

void read_roads(map_layers& layers) {
    decode_road_file(read_input(road_file_name));
    layers.has_roads = true;
    for (std::int32_t i = 0; i < road_count; ++i) {
        map_polyline& road = layers.roads.emplace_back();
        for (std::int32_t j = 0; j < roads[i].point_count; ++j)
            road.push_back({roads[i].points[j].x, roads[i].points[j].z});
    }
}

void read_outlines(map_layers& layers) {
    const std::vector<outline_record> outlines = decode_land_cover_outline(read_input(outline_file_name));
    layers.has_outlines = true;
    for (const outline_record& outline : outlines) {
        map_polyline& polygon = layers.outlines.emplace_back();
        // The file stores whole centimetres.
        for (const outline_vertex& vertex : outline.vertices)
            polygon.push_back({vertex.x / 100.0, vertex.z / 100.0});
    }
}

void read_bridge_layer(map_layers& layers) {
    decode_bridge_file(read_input(bridge_file_name));
    layers.has_bridges = true;
    for (std::int32_t k = 0; k < bridge_count; ++k) {
        const bridge_record& bridge = bridges[k];
        layers.bridges.push_back(
            {map_point{bridge.end1.x, bridge.end1.z}, map_point{bridge.end2.x, bridge.end2.z}});
    }
}

/// The network's readers take any float as a node position, and a not-a-number or an
/// infinity has no place in a picture: such points are left out and counted.
bool drawable(const network_point& point) { return std::isfinite(point.x) && std::isfinite(point.z); }

void say_left_out(const char* name, std::size_t count, const char* what) {
    if (count > 0) std::printf("%s: %s left out, not finite: %zu\n", name, what, count);
}

void read_nodes(map_layers& layers) {
    load_node_positions();
    layers.has_nodes = true;
    std::size_t left_out = 0;
    for (std::int32_t k = 0; k < number_of_nodes; ++k) {
        if (drawable(node_positions[k])) {
            layers.nodes.push_back({node_positions[k].x, node_positions[k].z});
        } else {
            ++left_out;
        }
    }
    release_node_and_path_tables();
    say_left_out(node_file_name, left_out, "node positions");
}

void read_paths(map_layers& layers) {
    load_paths(false);
    layers.has_paths = true;
    std::size_t left_out = 0;
    for (std::int32_t p = 0; p < number_of_paths; ++p) {
        const path_record& path = path_records[p];
        map_polyline& line = layers.paths.emplace_back();
        for (std::int32_t i = 0; i < path.count; ++i) {
            if (drawable(path.points[i])) {
                line.push_back({path.points[i].x, path.points[i].z});
            } else {
                ++left_out;
            }
        }
    }
    release_node_and_path_tables();
    say_left_out(path_file_name, left_out, "path points");
}

/// Through the exporter's own loader, with its progress lines and its messages.
void read_terrain(map_layers& layers) {
    load_terrain();
    layers.has_terrain = true;
    layers.sector_rows = row_count;
    layers.sector_columns = row_length;
    for (int row = 0; row < row_count; ++row) {
        for (int column = 0; column < row_length; ++column) {
            terrain_cell cell{};
            if (terrain_cell_of(row, column, cell)) layers.cells.push_back(cell);
        }
    }
    free_terrain();
}

}  // namespace

bool terrain_cell_of(int row, int column, terrain_cell& cell) {
    const terrain_sector& sector = sector_at(row, column);
    const std::size_t points = sector.number_of_points;
    if (points == 0) return false;
    require_terrain_bytes(sector.heights, 2 * points, "heights", row, column);
    require_terrain_bytes(sector.point_xz, 4 * points, "point positions", row, column);
    std::uint64_t height_sum = 0;
    int min_x = 32767, min_z = 32767, max_x = -32768, max_z = -32768;
    for (std::size_t i = 0; i < points; ++i) {
        // Bit 15 of a height word is a marker, not part of the height.
        height_sum += get_u16_le(sector.heights + 2 * i) & 0x7FFFu;
        const unsigned char* xz = sector.point_xz + 4 * i;
        const int x = static_cast<std::int16_t>(get_u16_le(xz));
        const int z = static_cast<std::int16_t>(get_u16_le(xz + 2));
        min_x = std::min(min_x, x);
        min_z = std::min(min_z, z);
        max_x = std::max(max_x, x);
        max_z = std::max(max_z, z);
    }
    cell = {row,
            column,
            static_cast<double>(min_x),
            static_cast<double>(min_z),
            static_cast<double>(max_x),
            static_cast<double>(max_z),
            static_cast<double>(height_sum) / static_cast<double>(points)};
    return true;
}

map_layers read_map_layers() {
    map_layers layers;
    struct single_input {
        const char* name;
        void (*read)(map_layers&);
    };
    for (const single_input& input :
         {single_input{road_file_name, read_roads}, single_input{outline_file_name, read_outlines},
          single_input{bridge_file_name, read_bridge_layer}, single_input{node_file_name, read_nodes},
          single_input{path_file_name, read_paths}}) {
        if (present(input.name)) {
            input.read(layers);
        } else {
            say_absent(input.name);
        }
    }

    // The terrain loader needs all three files.
    const char* const terrain_names[] = {sector_table_file_name, terrain_file_name, rgb_file_name};
    bool whole_terrain = true;
    for (const char* name : terrain_names) whole_terrain = whole_terrain && present(name);
    if (whole_terrain) {
        read_terrain(layers);
    } else {
        for (const char* name : terrain_names) {
            if (present(name)) {
                std::printf("%s not read: the terrain needs %s, %s and %s\n", name, sector_table_file_name,
                            terrain_file_name, rgb_file_name);
            } else {
                say_absent(name);
            }
        }
    }

    if (!layers.has_roads && !layers.has_outlines && !layers.has_bridges && !layers.has_nodes &&
        !layers.has_paths && !layers.has_terrain) {
        fail("nothing to draw: none of %s, %s, %s, %s, %s is here, nor all of %s, %s and %s", road_file_name,
             outline_file_name, bridge_file_name, node_file_name, path_file_name, sector_table_file_name,
             terrain_file_name, rgb_file_name);
    }
    return layers;
}
