#pragma once

#include <cstdint>

#include "road_table.hpp"

// Section quads: the outline of every road section, `road_half_width` to either side of its
// centreline, the quads of consecutive sections joined at their edges' crossings.

/// Half the width of every road, in metres.
inline constexpr double road_half_width = 5.0;

/// Stage: builds the quad of every section of every road (pass 1), then joins the quads of
/// consecutive sections of every road (pass 2). Needs the roads loaded, and cut at bridges
/// if they are to be.
void build_section_quads();

/// Pass 1 for one road: the corners of each section's quad.
void build_quad_corners(road_record& road);

/// Pass 2 for the road at `road_index`: moves the facing corners of consecutive quads to
/// the crossings of their edges, and prints "Road %d Sections %d and %d are parallel" with
/// an empty line for each joint whose right-hand edges do not cross.
void join_section_quads(std::int32_t road_index);

/// The parallel test of the joins: true unless |da x db| > 1e-6 |da| |db|. Not-a-number and
/// zero-length directions count as parallel.
bool directions_parallel(double da_x, double da_z, double db_x, double db_z);
