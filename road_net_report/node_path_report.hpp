#pragma once

#include <cstddef>
#include <cstdint>

#include "report_writer.hpp"

// The node positions and paths of the road network, and their two reports. All values are
// little-endian; int32 is signed two's complement, float32 IEEE single precision, and
// coordinates are metres. Neither file has a magic number; bytes after the last entry are
// ignored.
//
// "ROADS.NDE", node positions, 4 + 12 N bytes:
//   int32   number_of_nodes N
//   N node positions, numbered from 0 in file order, 12 bytes each:
//     float32 X, float32 Y, float32 Z
//
// "ROADS.WP", paths:
//   int32   number_of_paths M
//   M path entries back to back, 16 + 12 C bytes each:
//     int32 from_node, int32 to_node, int32 type    printed as they stand, never looked up
//     int32 count C                                 the number of points
//     C points: float32 X, float32 Y, float32 Z     same layout as a node position
//
// "road_node_text.log", lines ending in one line feed:
//   "number of nodes = %d\n\n"   N
//   "node  X  Z  Y\n\n"
//   "%d  %f  %f  %f\n"           per node position: k, X, Z, Y (the columns are X, Z, Y)
//
// "road_path_text.log":
//   "number of paths = %d\n\n"   M
//   per path p:
//     "path %d  from node %d  to node %d  type = %d  count = %d\n\n"
//     "points  X  Z  Y\n  Distance\n\n"
//     per point i: for i > 0 first "\t%d meters\n" with the distance from point i-1, then
//     "%d  %f  %f  %f\n" with i, X, Z, Y
//     "\n"
//
// The distance is measured in the X-Z plane between the points' X and Z truncated to whole
// metres; every point of a path of two or more points needs an X and a Z whose whole part
// fits an int32. A file that is cut short, holds a negative count, or such a point, ends the
// run with a message naming the file; the report then holds the lines of the entries before
// the faulty one.

/// The two files' names.
inline constexpr const char* node_file_name = "ROADS.NDE";
inline constexpr const char* path_file_name = "ROADS.WP";

/// A node position, or a point of a path, in metres.
struct network_point {
    float x;
    float y;
    float z;
};

/// One path; `points` refers to its slice of `point_block`.
struct path_record {
    std::int32_t from_node;
    std::int32_t to_node;
    std::int32_t type;
    std::int32_t count;
    network_point* points;
};

extern std::int32_t number_of_nodes;
extern network_point* node_positions;

extern std::int32_t number_of_paths;
extern path_record* path_records;

/// The points of all paths, path after path in file order.
extern network_point* point_block;
extern std::size_t number_of_points;

extern report_writer node_report;
extern report_writer path_report;

/// Step: creates "road_node_text.log" and "road_path_text.log" (empty) before any input is
/// read. They stay open until `close_node_and_path_reports`, or are written out by a
/// failure.
void open_node_and_path_reports();

/// Step: reads "ROADS.NDE" into `node_positions` and writes the node report.
void write_node_report();

/// Step: reads "ROADS.WP" into `path_records` and `point_block` and writes the path report:
/// a first pass over the path headers sizes the point block, a second reads the points and
/// reports each path as it is read.
void write_path_report();

/// Reads "ROADS.NDE" into `number_of_nodes` and `node_positions`, with every check of the
/// node report ("ROADS.NDE opened" on the console).
void load_node_positions();

/// Reads "ROADS.WP" as `write_path_report` does; `report` says whether the path report gets
/// its lines.
void load_paths(bool report);

/// Step: writes out and closes both reports.
void close_node_and_path_reports();

/// Frees the node and path tables.
void release_node_and_path_tables();
