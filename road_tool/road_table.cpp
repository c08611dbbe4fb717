#include "road_table.hpp"

// Zero-initialised static storage, about 31 MB for the two road arrays.
road_record roads[max_roads];
std::int32_t road_count;

road_record split_roads[max_roads];

bridge_record bridges[max_bridges];
std::int32_t bridge_count;

screenshot_marker markers[max_markers];
std::int32_t marker_count;
