#pragma once

#include <cstdint>

// The road table: the one data set of the road tool. Every stage works directly on these
// process-wide tables. They have static storage, are all zero when the program starts and
// live until it ends; no stage allocates memory.
//
// Coordinates in memory are metres as doubles. The road file stores whole centimetres,
// "bridge.dat" 32-bit float metres, and screenshot markers are whole metres.

inline constexpr int max_roads = 256;
inline constexpr int max_road_points = 512;
inline constexpr int max_section_quads = 512;
inline constexpr int max_bridges = 256;
inline constexpr int max_markers = 256;

/// One point of a road, in metres. No stage sets or reads `spare`.
struct road_point {
    double x;
    double z;
    double spare;
};

/// The outline of one road section: `p`-`s` is the right-hand edge, `q`-`r` the left-hand
/// edge. Only `x` and `z` of each corner are used.
struct section_quad {
    road_point p;
    road_point q;
    road_point r;
    road_point s;
};

/// One road: a polyline of `point_count` points. `section_count` is always
/// `point_count` - 1 (-1 for a road without points); quads[i] belongs to the section from
/// points[i] to points[i + 1]. The two attribute words are the road's header words in the
/// road file, kept unchanged and never interpreted.
struct road_record {
    std::int32_t attribute_1;
    std::int32_t attribute_2;
    std::int32_t point_count;
    std::int32_t section_count;
    road_point points[max_road_points];
    section_quad quads[max_section_quads];
};

/// One end of a bridge, 32-bit float metres; only `x` and `z` are ever set.
struct bridge_end {
    float x;
    float y;
    float z;
};

/// A bridge: roads are cut at `end1` and resume at `end2`. `spare` stays zero.
struct bridge_record {
    bridge_end end1;
    bridge_end end2;
    std::int32_t spare[5];
};

/// A position read from a screenshot text file, in whole metres.
struct screenshot_marker {
    std::int32_t x;
    std::int32_t z;
};

extern road_record roads[max_roads];
extern std::int32_t road_count;

/// The roads cut at bridges, built by the split stage before it copies them back.
extern road_record split_roads[max_roads];

extern bridge_record bridges[max_bridges];
extern std::int32_t bridge_count;

extern screenshot_marker markers[max_markers];
extern std::int32_t marker_count;
