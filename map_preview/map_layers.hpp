#pragma once

#include <array>
#include <vector>

// What the preview draws, read from the map files in the working directory through the
// tools' own readers: every layer in map coordinates, x and z in metres (the terrain in
// terrain units, drawn as metres), ready to be drawn.

struct map_point {
    double x;
    double z;
};

using map_polyline = std::vector<map_point>;

/// One terrain sector: the rectangle its points span and their mean stored height (the
/// low 15 bits of each height word, 0 to 32767).
struct terrain_cell {
    int row;
    int column;
    double min_x;
    double min_z;
    double max_x;
    double max_z;
    double mean_height;
};

/// Each layer is drawn when its file (for the terrain, all three files) was read; a layer
/// read from a file that holds nothing is drawn empty.
struct map_layers {
    bool has_roads = false;
    std::vector<map_polyline> roads;  // "Grand.ROAD", in file order
    bool has_outlines = false;
    std::vector<map_polyline> outlines;  // "map.LCOV", one per record, in file order
    bool has_bridges = false;
    std::vector<std::array<map_point, 2>> bridges;  // "bridge.dat": end1, end2
    bool has_nodes = false;
    std::vector<map_point> nodes;  // "ROADS.NDE"
    bool has_paths = false;
    std::vector<map_polyline> paths;  // "ROADS.WP"
    bool has_terrain = false;
    int sector_rows = 0;
    int sector_columns = 0;
    std::vector<terrain_cell> cells;  // row after row, sectors without points left out
};

/// Reads every map file that is present, in the order "Grand.ROAD", "map.LCOV",
/// "bridge.dat", "ROADS.NDE", "ROADS.WP", then the terrain, printing one line for each file:
/// "<name> opened" or "<name> absent". The terrain is read by the exporter's loader, with
/// its progress lines, when all three of its files are present; when some are missing, each
/// one present gets "<name> not read: the terrain needs default.sec, terrain.ffp and
/// default.rgb". A file that is present but faulty ends the run with the message of the
/// tool that owns its format; so does a map folder with nothing to draw.
map_layers read_map_layers();

/// The cell of terrain_sectors[row][column] of the loaded terrain; its arrays are checked
/// to lie inside "terrain.ffp" first, with the exporter's messages. False for a sector
/// without points, which has no place on the map.
bool terrain_cell_of(int row, int column, terrain_cell& cell);
