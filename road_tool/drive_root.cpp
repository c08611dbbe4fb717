#include "drive_path.hpp"

// Compiled into each program on its own, so that a build can choose where drive C: is.
#ifndef ROAD_TOOL_DRIVE_ROOT
#error "ROAD_TOOL_DRIVE_ROOT must name the directory that stands for drive C:"
#endif

extern const char* const drive_root = ROAD_TOOL_DRIVE_ROOT;
