#include "road_network_files.hpp"

namespace {

void put_point(byte_buffer& out, const network_point_entry& point) {
    put_f32_le(out, point.x);
    put_f32_le(out, point.y);
    put_f32_le(out, point.z);
}

}  // namespace

byte_buffer encode_node_position_file(const std::vector<network_point_entry>& nodes) {
    byte_buffer out;
    put_i32_le(out, static_cast<std::int32_t>(nodes.size()));
    for (const network_point_entry& node : nodes) put_point(out, node);
    return out;
}

byte_buffer encode_path_file(const std::vector<path_entry>& paths) {
    byte_buffer out;
    put_i32_le(out, static_cast<std::int32_t>(paths.size()));
    for (const path_entry& path : paths) {
        put_i32_le(out, path.from_node);
        put_i32_le(out, path.to_node);
        put_i32_le(out, path.type);
        put_i32_le(out, static_cast<std::int32_t>(path.points.size()));
        for (const network_point_entry& point : path.points) put_point(out, point);
    }
    return out;
}

byte_buffer encode_road_graph_file(const road_graph_entry& graph) {
    byte_buffer out;
    put_f32_le(out, graph.map_size_1);
    put_f32_le(out, graph.map_size_2);
    put_i32_le(out, static_cast<std::int32_t>(graph.nodes.size()));
    for (const road_node_entry& node : graph.nodes) {
        put_i32_le(out, node.node);
        put_i32_le(out, node.ignored_value);
        put_i32_le(out, static_cast<std::int32_t>(node.links.size()));
        for (const road_link_entry& link : node.links) {
            put_i32_le(out, link.node);
            put_i32_le(out, link.cost);
        }
    }
    return out;
}
