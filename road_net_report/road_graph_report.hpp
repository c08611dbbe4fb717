#pragma once

#include <cstdint>

#include "report_writer.hpp"

// "roads.dat", the road network as a graph, little-endian, no magic number:
//   float32 map_size_1, float32 map_size_2   printed, not kept
//   int32   number_of_road_nodes n
//   n node entries back to back, 12 + 8 L bytes each:
//     int32 node                  the node's number, 0 to 16383
//     int32 ignored_value         read and dropped
//     int32 number_of_links L     0 to 127
//     L links, each:
//       int32 node                the linked node's number, 0 to 16383
//       int32 cost
// Within a link the node number comes first and the cost second; the report prints the cost
// first. The number ranges are those of the packed records below.
//
// "road_data_text.log", lines ending in one line feed:
//   "map size 1 = %f\n", "map size 2 = %f\n"
//   "Number of road nodes = %d\n\n"
//   per node entry, with its ordinal k from 0 in file order:
//     "\n\t NODE %d\n\n"          k
//     "node  %d\n"
//     "safe_radius  %d\n"         always 28
//     "number_of_links  %d\n"
//     "\ncost\t\tnode\n\n"
//     "%d\t\t%d\n"                per link: cost, node
//
// A file without road nodes ends the run with "number_of_road_nodes == 0" after the count
// line. A file that is cut short, holds a negative count or a value outside the ranges
// above ends the run with a message naming the file; the report then holds the lines of the
// node entries before the faulty one.

/// One link, packed into two 32-bit words.
struct graph_link {
    std::int32_t cost;
    std::uint32_t node : 14;
    std::uint32_t : 2;
    std::uint32_t link_preset_bits : 5;  // always 0
    std::uint32_t : 11;
};

/// One road node, packed into two 32-bit words and the reference to its links.
struct graph_node {
    std::uint32_t node : 14;
    std::uint32_t safe_radius : 14;  // always 28
    std::uint32_t : 4;
    std::uint32_t number_of_links : 7;
    std::uint32_t node_preset_bits : 7;  // always 1100100 in binary
    std::uint32_t : 18;
    /// Room for `number_of_links` + 1 links: one more than the node receives, left unset.
    graph_link* links;
};

inline constexpr std::int32_t max_graph_node_number = (1 << 14) - 1;
inline constexpr std::int32_t max_number_of_links = (1 << 7) - 1;
inline constexpr std::uint32_t safe_radius_value = 28;
inline constexpr std::uint32_t node_preset_pattern = 0b1100100;

/// The road nodes in file order, `number_of_road_nodes` of them.
extern graph_node* road_nodes;
extern std::int32_t number_of_road_nodes;

extern report_writer graph_report;

/// Step: reads "roads.dat" into `road_nodes` and writes "road_data_text.log", which is
/// created once "roads.dat" is open. Returns 0 with both files closed; every failure ends
/// the run.
int write_road_graph_report();

/// Frees `road_nodes` and the link arrays.
void release_road_graph();
