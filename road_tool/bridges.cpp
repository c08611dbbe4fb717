#include "bridges.hpp"

#include <cmath>
#include <cstdio>

#include "byte_reader.hpp"
#include "fail.hpp"
#include "file_io.hpp"

namespace {

constexpr std::size_t bridge_entry_bytes = 40;

/// One bridge end as stored: x, y, z; only x and z are kept.
bridge_end take_bridge_end(byte_reader& reader) {
    bridge_end end{};
    end.x = take_f32_le(reader);
    take_f32_le(reader);
    end.z = take_f32_le(reader);
    return end;
}

bool finite_end(const bridge_end& end) { return std::isfinite(end.x) && std::isfinite(end.z); }

/// A road point as the box test sees it: x and z rounded to 32-bit floats.
bridge_end as_float_end(const road_point& point) {
    return bridge_end{static_cast<float>(point.x), 0.0f, static_cast<float>(point.z)};
}

road_point as_road_point(const bridge_end& end) {
    road_point point{};
    point.x = end.x;
    point.z = end.z;
    return point;
}

/// Walks the cuts of every road in table order, calling `close_piece(piece, points)` as
/// each piece is finished and `add_point(piece, index, point)` for each of its points.
template <typename AddPoint, typename ClosePiece>
std::int32_t cut_roads(AddPoint add_point, ClosePiece close_piece) {
    std::int32_t piece = -1;
    for (std::int32_t i = 0; i < road_count; ++i) {
        const road_record& road = roads[i];
        ++piece;
        std::int32_t length = 0;
        if (road.point_count == 0) close_piece(piece, 0);
        for (std::int32_t j = 0; j < road.point_count; ++j) {
            add_point(piece, length, road.points[j]);
            ++length;
            if (j == road.point_count - 1) {
                close_piece(piece, length);
                break;
            }
            const bridge_end start = as_float_end(road.points[j]);
            const bridge_end end = as_float_end(road.points[j + 1]);
            for (std::int32_t k = 0; k < bridge_count; ++k) {
                if (point_in_box(start, bridges[k].end1, end) != 1) continue;
                add_point(piece, length, as_road_point(bridges[k].end1));
                close_piece(piece, length + 1);
                ++piece;
                add_point(piece, 0, as_road_point(bridges[k].end2));
                length = 1;
            }
        }
    }
    return piece + 1;
}

void print_points(const road_record& road) {
    for (std::int32_t j = 0; j < road.point_count; ++j) {
        std::printf("%d  %f  %f\n", j, road.points[j].x, road.points[j].z);
    }
}

}  // namespace

bool read_bridges() {
    byte_buffer bytes;
    if (!read_whole_file(bridge_file_name, bridge_file_name, bytes)) {
        std::printf("cannot open %s\n", bridge_file_name);
        return false;
    }
    std::printf("%s opened\n", bridge_file_name);
    decode_bridge_file(bytes);
    std::printf("Bridge data read in\n");
    return true;
}

void decode_bridge_file(const byte_buffer& bytes) {
    byte_reader reader = make_byte_reader(bytes, bridge_file_name);
    if (bytes_left(reader) < 4) fail("%s: file ends before the bridge count", bridge_file_name);
    const std::int32_t count = take_i32_le(reader);
    if (count < 0) fail("%s: bridge count %d is negative", bridge_file_name, count);
    if (count > max_bridges) {
        fail("%s: %d bridges, more than the %d the bridge table holds", bridge_file_name, count, max_bridges);
    }
    if (bytes_left(reader) / bridge_entry_bytes < static_cast<std::size_t>(count)) {
        fail("%s: file ends inside bridge %d", bridge_file_name,
             static_cast<int>(bytes_left(reader) / bridge_entry_bytes));
    }
    for (std::int32_t k = 0; k < count; ++k) {
        bridge_record& bridge = bridges[k];
        bridge.end1 = take_bridge_end(reader);
        bridge.end2 = take_bridge_end(reader);
        for (int word = 0; word < 4; ++word) take_i32_le(reader);
        // A not-a-number end would lie in every box and cut every section.
        if (!finite_end(bridge.end1) || !finite_end(bridge.end2)) {
            fail("%s: bridge %d has an end that is not a finite number", bridge_file_name, k);
        }
    }
    bridge_count = count;
}

int point_in_box(bridge_end a, bridge_end b, bridge_end c) {
    const float low_x = a.x < c.x ? a.x : c.x;
    const float high_x = a.x < c.x ? c.x : a.x;
    const float low_z = a.z < c.z ? a.z : c.z;
    const float high_z = a.z < c.z ? c.z : a.z;
    if (low_x > b.x || b.x > high_x || low_z > b.z || b.z > high_z) return 0;
    return 1;
}

void split_roads_at_bridges() {
    std::printf("Original road count = %d\n", road_count);

    // Count first, so that a cut beyond the table's capacities changes nothing.
    const std::int32_t piece_count = cut_roads(
        [](std::int32_t, std::int32_t, const road_point&) {},
        [](std::int32_t piece, std::int32_t points) {
            if (piece >= max_roads) {
                fail("%s: cutting the roads at the bridges makes more than the %d roads the road table holds",
                     bridge_file_name, max_roads);
            }
            if (points > max_road_points) {
                fail(
                    "%s: cutting the roads at the bridges makes road %d of %d points, more than the %d a "
                    "road holds",
                    bridge_file_name, piece, points, max_road_points);
            }
        });

    cut_roads(
        [](std::int32_t piece, std::int32_t index, const road_point& point) {
            split_roads[piece].points[index].x = point.x;
            split_roads[piece].points[index].z = point.z;
        },
        [](std::int32_t piece, std::int32_t points) { split_roads[piece].point_count = points; });

    for (std::int32_t i = 0; i < road_count; ++i) {
        std::printf("Road %d\n\n", i);
        print_points(roads[i]);
        std::printf("\n");
    }
    for (std::int32_t k = 0; k < bridge_count; ++k) {
        std::printf("Bridge %d\n\n", k);
        std::printf("end1 = %f  %f\n", static_cast<double>(bridges[k].end1.x),
                    static_cast<double>(bridges[k].end1.z));
        std::printf("end2 = %f  %f\n", static_cast<double>(bridges[k].end2.x),
                    static_cast<double>(bridges[k].end2.z));
        std::printf("\n");
    }
    for (std::int32_t i = 0; i < piece_count; ++i) {
        std::printf("Road %d\n\n", i);
        print_points(split_roads[i]);
        std::printf("\n");
    }
    std::printf("The new road count is %d\n", piece_count);

    road_count = piece_count;
    for (std::int32_t i = 0; i < piece_count; ++i) {
        road_record& road = roads[i];
        road.point_count = split_roads[i].point_count;
        road.section_count = road.point_count - 1;
        for (std::int32_t j = 0; j < road.point_count; ++j) {
            road.points[j].x = split_roads[i].points[j].x;
            road.points[j].z = split_roads[i].points[j].z;
        }
    }
}
