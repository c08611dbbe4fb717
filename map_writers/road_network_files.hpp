#pragma once

#include <cstdint>
#include <vector>

#include "byte_order.hpp"

// The three files of the road network, each with its counts taken from the vectors given
// (the layouts are described beside their reader, road_net_report):
//   "ROADS.NDE"  int32 node count, then X, Y, Z float32 per node position
//   "ROADS.WP"   int32 path count, then per path int32 from_node, to_node, type, count and
//                X, Y, Z float32 per point
//   "roads.dat"  float32 map sizes 1 and 2, int32 road node count, then per node int32
//                node, ignored_value, number_of_links and per link int32 node, cost

/// A node position or a path point in metres, in the files' order X, Y, Z.
struct network_point_entry {
    float x;
    float y;
    float z;
};

struct path_entry {
    std::int32_t from_node;
    std::int32_t to_node;
    std::int32_t type;
    std::vector<network_point_entry> points;
};

/// Within a link the file stores the node number first and the cost second.
struct road_link_entry {
    std::int32_t node;
    std::int32_t cost;
};

struct road_node_entry {
    std::int32_t node;
    std::int32_t ignored_value;
    std::vector<road_link_entry> links;
};

struct road_graph_entry {
    float map_size_1;
    float map_size_2;
    std::vector<road_node_entry> nodes;
};

/// The bytes of a "ROADS.NDE" holding `nodes`.
byte_buffer encode_node_position_file(const std::vector<network_point_entry>& nodes);

/// The bytes of a "ROADS.WP" holding `paths`.
byte_buffer encode_path_file(const std::vector<path_entry>& paths);

/// The bytes of a "roads.dat" holding `graph`.
byte_buffer encode_road_graph_file(const road_graph_entry& graph);
