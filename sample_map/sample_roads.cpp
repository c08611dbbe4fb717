#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bridge_file.hpp"
#include "bridges.hpp"
#include "fail.hpp"
#include "marker_file.hpp"
#include "road_file.hpp"
#include "sample_map.hpp"

namespace {

namespace fs = std::filesystem;

/// The road tool holds 256 roads; the merge adds the marker road and each bridge one cut.
constexpr int bridge_count_in_map = sample_bridge_count;
constexpr int max_sample_roads = 256 - 1 - bridge_count_in_map;
constexpr int base_roads = 5;

/// Whole metres at a fraction of the extent, in centimetres.
std::int32_t at_fraction(const sample_layout& layout, double fraction) {
    return static_cast<std::int32_t>(std::lround(fraction * layout.extent)) * 100;
}

sample_point point_at(const sample_layout& layout, double fx, double fz) {
    return {at_fraction(layout, fx), at_fraction(layout, fz)};
}

/// The z (as a fraction of the extent) of the two roads that cross the river on a bridge.
constexpr double crossing_z[bridge_count_in_map] = {0.30, 0.62};

/// The x of the river at a crossing, in whole metres.
double crossing_river_x(const sample_layout& layout, int crossing) {
    return std::round(river_x(layout, std::round(crossing_z[crossing] * layout.extent)));
}

/// Bridge ends: end1 on the near bank, end2 on the far one, both on the road.
bridge_file_entry bridge_at(const sample_layout& layout, int crossing) {
    const double x = crossing_river_x(layout, crossing);
    const double z = std::round(crossing_z[crossing] * layout.extent);
    const double half_span = std::round(0.02 * layout.extent);
    const float y1 = static_cast<float>(ground_height(layout, x - half_span, z));
    const float y2 = static_cast<float>(ground_height(layout, x + half_span, z));
    return bridge_file_entry{static_cast<float>(x - half_span),
                             y1,
                             static_cast<float>(z),
                             static_cast<float>(x + half_span),
                             y2,
                             static_cast<float>(z),
                             {0, 0, 0, 0}};
}

/// A road that runs east across the river at crossing `c`, the river's banks among its
/// points so that the bridge's near end lies on exactly one of its sections.
sample_road crossing_road(const sample_layout& layout, int c, double start_x, double end_x, double turn_z) {
    const double river = crossing_river_x(layout, c) / layout.extent;
    const double z = crossing_z[c];
    sample_road road{101 + c, 1, {}};
    road.points = {point_at(layout, start_x, z), point_at(layout, river - 0.05, z),
                   point_at(layout, river + 0.05, z), point_at(layout, end_x, z),
                   point_at(layout, end_x + 0.02, turn_z)};
    return road;
}

bridge_end as_bridge_end(double x_metres, double z_metres) {
    return bridge_end{static_cast<float>(x_metres), 0.0f, static_cast<float>(z_metres)};
}

/// Every bridge must cut exactly one section of the roads, and none of the marker road, so
/// that cutting the roads (also after the merge) stays within the road table.
void check_bridges(const std::vector<sample_road>& roads, const std::vector<bridge_file_entry>& bridges,
                   const std::vector<std::pair<double, double>>& markers) {
    for (std::size_t k = 0; k < bridges.size(); ++k) {
        const bridge_end end1{bridges[k].end1_x, 0.0f, bridges[k].end1_z};
        int cuts = 0;
        for (const sample_road& road : roads) {
            for (std::size_t j = 0; j + 1 < road.points.size(); ++j) {
                cuts +=
                    point_in_box(as_bridge_end(road.points[j].x / 100.0, road.points[j].z / 100.0), end1,
                                 as_bridge_end(road.points[j + 1].x / 100.0, road.points[j + 1].z / 100.0));
            }
        }
        for (std::size_t j = 0; j + 1 < markers.size(); ++j) {
            cuts += point_in_box(as_bridge_end(markers[j].first, markers[j].second), end1,
                                 as_bridge_end(markers[j + 1].first, markers[j + 1].second));
        }
        if (cuts != 1) fail("sample map: bridge %zu cuts %d road sections instead of one", k, cuts);
    }
}

}  // namespace

std::vector<std::pair<double, double>> sample_marker_positions(const sample_layout& layout) {
    std::vector<std::pair<double, double>> positions;
    for (auto [fx, fz] : {std::pair{0.30, 0.93}, {0.42, 0.95}, {0.55, 0.93}, {0.66, 0.96}}) {
        positions.push_back({std::round(fx * layout.extent), std::round(fz * layout.extent)});
    }
    return positions;
}

std::vector<sample_road> sample_roads(const sample_layout& layout) {
    std::vector<sample_road> roads;

    // West of the river, a road with bends of many angles.
    sample_road valley{100, 1, {}};
    for (auto [fx, fz] : {std::pair{0.04, 0.06},
                          {0.22, 0.06},
                          {0.30, 0.14},
                          {0.30, 0.30},
                          {0.24, 0.40},
                          {0.24, 0.52},
                          {0.34, 0.58},
                          {0.20, 0.66},
                          {0.14, 0.76}}) {
        valley.points.push_back(point_at(layout, fx, fz));
    }
    roads.push_back(valley);

    roads.push_back(crossing_road(layout, 0, 0.40, 0.96, 0.46));
    roads.push_back(crossing_road(layout, 1, 0.44, 0.70, 0.70));

    // East of the river, a straight diagonal road of many points in equal steps.
    sample_road diagonal{103, 1, {}};
    const sample_point start = point_at(layout, 0.66, 0.40);
    const std::int32_t step_x = at_fraction(layout, 0.0064);
    const std::int32_t step_z = at_fraction(layout, 0.0123);
    for (std::int32_t k = 0; k < 40; ++k)
        diagonal.points.push_back({start.x + k * step_x, start.z + k * step_z});
    roads.push_back(diagonal);

    // A short road of one section.
    roads.push_back({104, 2, {point_at(layout, 0.08, 0.86), point_at(layout, 0.13, 0.88)}});

    // Winding tracks west of the river, more and longer ones at larger scales.
    const int tracks = std::min(3 * layout.scale, max_sample_roads - base_roads);
    const int track_points = std::min(512, 12 + 4 * layout.scale);
    const double band = 0.88 / tracks;
    for (int t = 0; t < tracks; ++t) {
        sample_road track{200 + t % 100, 2, {}};
        const double z = 0.05 + band * (t + 0.5);
        const double amplitude = std::min(0.02, 0.3 * band);
        for (int j = 0; j < track_points; ++j) {
            const double x = 0.02 + 0.38 * j / (track_points - 1);
            track.points.push_back(point_at(layout, x, z + amplitude * std::sin(0.7 * j + t)));
        }
        roads.push_back(track);
    }
    return roads;
}

void write_sample_roads(const fs::path& dir, const sample_layout& layout) {
    const std::vector<sample_road> roads = sample_roads(layout);
    byte_buffer road_file;
    put_road_count(road_file, static_cast<std::int32_t>(roads.size()));
    for (const sample_road& road : roads) {
        std::vector<road_file_point> points;
        for (const sample_point& p : road.points) points.push_back({p.x, p.z});
        put_road_entry(road_file, road.attribute_1, road.attribute_2, points.data(),
                       static_cast<std::int32_t>(points.size()));
    }

    std::vector<bridge_file_entry> bridges;
    for (int c = 0; c < bridge_count_in_map; ++c) bridges.push_back(bridge_at(layout, c));
    const std::vector<std::pair<double, double>> markers = sample_marker_positions(layout);
    check_bridges(roads, bridges, markers);

    write_sample_file(dir, "Grand.ROAD", road_file);
    write_sample_file(dir, "bridge.dat", encode_bridge_file(bridges));

    // What road_merge reads: the same road file at C:\aGrand, and the screenshot markers.
    const fs::path drive = dir / "drive_c";
    const fs::path shots = drive / "Hollowmere" / "vantrel" / "scrnshot";
    fs::create_directories(drive / "aGrand");
    fs::create_directories(shots);
    write_sample_file(dir, "drive_c/aGrand/Grand.ROAD", road_file);
    for (std::size_t n = 0; n < markers.size(); ++n) {
        auto [x, z] = markers[n];
        char name[80], line_x[32], line_y[32], line_z[32], heading[32];
        std::snprintf(name, sizeof name, "drive_c/Hollowmere/vantrel/scrnshot/IMAGE%03zu.TXT", n);
        std::snprintf(line_x, sizeof line_x, "%.2f", x + 0.25);
        std::snprintf(line_y, sizeof line_y, "%.2f", ground_height(layout, x, z) + 1.8);
        std::snprintf(line_z, sizeof line_z, "%.2f", z + 0.5);
        std::snprintf(heading, sizeof heading, "%zu", (n * 73) % 360);
        write_sample_file(dir, name, encode_marker_file({line_x, line_y, line_z, heading, "-12"}));
    }
}
