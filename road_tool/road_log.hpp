#pragma once

#include <string>

// "ROAD.log", the road table as text for a person to read. Lines end with a single line
// feed.
//
//   "%d roads\n\n"                  road_count
//   per road i:
//     "road %d has %d points\n\n"   i, point_count
//     "  %f   %f \n"                per point: x rounded to a 32-bit float, z as it is
//     "\n"

/// Stage: prints "printing road file" and replaces "ROAD.log" in the working directory.
void write_road_log();

/// The text of "ROAD.log" for the road table.
std::string format_road_log();
