#include <cmath>

#include "road_network_files.hpp"
#include "sample_map.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int path_points_per_scale = 1000;

network_point_entry network_point_at(const sample_layout& layout, double x, double z) {
    return {static_cast<float>(x), static_cast<float>(ground_height(layout, x, z)), static_cast<float>(z)};
}

double metres(std::int32_t centimetres) { return centimetres / 100.0; }

double road_length(const sample_road& road) {
    double length = 0;
    for (std::size_t j = 0; j + 1 < road.points.size(); ++j) {
        length += std::hypot(metres(road.points[j + 1].x - road.points[j].x),
                             metres(road.points[j + 1].z - road.points[j].z));
    }
    return length;
}

}  // namespace

void write_sample_network(const fs::path& dir, const sample_layout& layout) {
    // Each road is one path between two nodes, its start and its end, with points along
    // the road at the ground's height; consecutive roads are linked end to start.
    const std::vector<sample_road> roads = sample_roads(layout);
    const std::size_t road_total = roads.size();
    const std::size_t wanted = static_cast<std::size_t>(path_points_per_scale) * layout.scale;
    const std::size_t per_road = (wanted + road_total - 1) / road_total;

    std::vector<network_point_entry> nodes;
    std::vector<path_entry> paths;
    road_graph_entry graph{static_cast<float>(layout.extent), static_cast<float>(layout.extent), {}};
    for (std::size_t r = 0; r < road_total; ++r) {
        const sample_road& road = roads[r];
        const sample_point& first = road.points.front();
        const sample_point& last = road.points.back();
        nodes.push_back(network_point_at(layout, metres(first.x), metres(first.z)));
        nodes.push_back(network_point_at(layout, metres(last.x), metres(last.z)));

        const std::size_t sections = road.points.size() - 1;
        const std::size_t steps = (per_road + sections - 1) / sections;
        path_entry path{static_cast<std::int32_t>(2 * r),
                        static_cast<std::int32_t>(2 * r + 1),
                        static_cast<std::int32_t>(road.attribute_2),
                        {}};
        path.points.reserve(sections * steps + 1);
        for (std::size_t j = 0; j < sections; ++j) {
            const sample_point& a = road.points[j];
            const sample_point& b = road.points[j + 1];
            for (std::size_t k = 0; k < steps; ++k) {
                const double t = static_cast<double>(k) / static_cast<double>(steps);
                path.points.push_back(network_point_at(layout, metres(a.x) + t * metres(b.x - a.x),
                                                       metres(a.z) + t * metres(b.z - a.z)));
            }
        }
        path.points.push_back(network_point_at(layout, metres(last.x), metres(last.z)));
        paths.push_back(std::move(path));

        const auto cost = static_cast<std::int32_t>(std::lround(road_length(road)));
        const auto start_node = static_cast<std::int32_t>(2 * r);
        road_node_entry start{start_node, 0, {{start_node + 1, cost}}};
        road_node_entry end{start_node + 1, 0, {{start_node, cost}}};
        if (r + 1 < road_total) {
            const sample_point& next = roads[r + 1].points.front();
            const auto hop = static_cast<std::int32_t>(
                std::lround(std::hypot(metres(next.x - last.x), metres(next.z - last.z))));
            end.links.push_back({start_node + 2, hop});
        }
        if (r > 0) {
            const sample_point& previous = roads[r - 1].points.back();
            const auto hop = static_cast<std::int32_t>(
                std::lround(std::hypot(metres(first.x - previous.x), metres(first.z - previous.z))));
            start.links.push_back({start_node - 1, hop});
        }
        graph.nodes.push_back(start);
        graph.nodes.push_back(end);
    }
    write_sample_file(dir, "ROADS.NDE", encode_node_position_file(nodes));
    write_sample_file(dir, "ROADS.WP", encode_path_file(paths));
    write_sample_file(dir, "roads.dat", encode_road_graph_file(graph));
}
