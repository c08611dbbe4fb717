#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "byte_order.hpp"
#include "terrain_files.hpp"

// A synthetic map made from fixed parameters: a square of `extent` metres with a river that
// winds from south to north a little east of the middle, hills on either side, roads, two
// bridges, screenshot markers, a terrain sector grid and a road network along the roads.
// Terrain units are metres in this map, so every layer lines up.
//
// The scale makes the map larger in every dimension: more and denser terrain sectors, more
// and longer roads (within the road tool's capacities, with room for the marker road and
// the cuts at the bridges) and more path points. The terrain grows about linearly with the
// scale, up to about 1 GiB at scale 10000, and the network holds about 1000 path points per
// unit of scale.

struct sample_layout {
    int scale;
    int grid_side;    // terrain sectors along each side
    int sector_side;  // terrain points along each side of a sector
    int spacing;      // metres between neighbouring terrain points
    double extent;    // metres along each side of the map
};

inline constexpr int max_sample_scale = 10000;
inline constexpr int max_sample_grid = 400;

/// The layout at `scale`; a `grid_side` above 0 sets the number of sectors along each side
/// instead, with the scale's sector size (for benchmarks: the same sectors in a smaller or
/// larger terrain).
sample_layout make_sample_layout(int scale, int grid_side = 0);

/// The x of the river's middle at z.
double river_x(const sample_layout& layout, double z);

/// Half the river's width.
double river_half_width(const sample_layout& layout);

/// The ground's height in metres at (x, z).
double ground_height(const sample_layout& layout, double x, double z);

/// The ground's height is a sum of terms that each factor into a part along x and a part
/// along z, so that a grid of points needs them once per column and once per row.
struct ground_factors {
    double wave;
    double hill[5];
    double river;  // along z only: the x of the river's middle
};
ground_factors ground_factors_along_x(const sample_layout& layout, double x);
ground_factors ground_factors_along_z(const sample_layout& layout, double z);

/// The same height as `ground_height` from factors taken at x and at z.
double ground_height(const sample_layout& layout, double x, const ground_factors& along_x,
                     const ground_factors& along_z);

/// A road point in whole centimetres, as the road file stores it.
struct sample_point {
    std::int32_t x;
    std::int32_t z;
};

struct sample_road {
    std::int32_t attribute_1;
    std::int32_t attribute_2;
    std::vector<sample_point> points;
};

/// The terrain sector at (row, column): its points on a square grid, rows of cells away
/// from the river as triangle strips, rows near it cell by cell as fans.
terrain_file_sector sample_sector(const sample_layout& layout, int row, int column);

/// The roads of the map, in road file order.
std::vector<sample_road> sample_roads(const sample_layout& layout);

/// Where the screenshots were taken, in whole metres (x, z): along the north edge of the
/// map, away from the bridges, so that the marker road cuts at none.
std::vector<std::pair<double, double>> sample_marker_positions(const sample_layout& layout);

/// The bridges cut the roads; the merge adds the marker road. The road tool holds 256.
inline constexpr int sample_bridge_count = 2;

/// Writes every file of the map into `dir` (which must exist): "Grand.ROAD", "bridge.dat",
/// the terrain files, the network files, and below `dir`/drive_c the source road file of
/// the merge and the screenshot marker files. Prints one line per file written.
void write_sample_map(const std::filesystem::path& dir, const sample_layout& layout);

// The parts, each writing its own files.
void write_sample_roads(const std::filesystem::path& dir, const sample_layout& layout);
void write_sample_terrain(const std::filesystem::path& dir, const sample_layout& layout);
void write_sample_network(const std::filesystem::path& dir, const sample_layout& layout);

/// Replaces `dir`/`name` with `bytes` and prints "<name>  <size> bytes"; `name` may lead
/// into folders that exist.
void write_sample_file(const std::filesystem::path& dir, const std::string& name, const byte_buffer& bytes);
