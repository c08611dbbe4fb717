#include "road_file.hpp"

#include <cmath>
#include <cstdio>

#include "byte_reader.hpp"
#include "fail.hpp"
#include "file_io.hpp"
#include "road_table.hpp"

void load_road_file(const char* path) {
    std::printf("reading road file\n");
    byte_buffer bytes;
    if (!read_whole_file(path, road_file_name, bytes)) fail("cannot open %s", road_file_name);
    std::printf("%s opened\n", road_file_name);
    decode_road_file(bytes);
}

void decode_road_file(const byte_buffer& bytes) {
    byte_reader reader = make_byte_reader(bytes, road_file_name);
    if (bytes_left(reader) < 4) fail("%s: file ends before the road count", road_file_name);
    std::int32_t count = take_i32_le(reader);
    if (count < 0) fail("%s: road count %d is negative", road_file_name, count);
    if (count > max_roads) {
        fail("%s: %d roads, more than the %d the road table holds", road_file_name, count, max_roads);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (bytes_left(reader) < 12) fail("%s: file ends inside road %d", road_file_name, i);
        road_record& road = roads[i];
        road.attribute_1 = take_i32_le(reader);
        road.attribute_2 = take_i32_le(reader);
        std::int32_t points = take_i32_le(reader);
        if (points < 0) fail("%s: road %d has a negative point count (%d)", road_file_name, i, points);
        if (points > max_road_points) {
            fail("%s: road %d has %d points, more than the %d a road holds", road_file_name, i, points,
                 max_road_points);
        }
        // Divide, don't multiply: the count is checked against the bytes actually there.
        if (bytes_left(reader) / 8 < static_cast<std::size_t>(points)) {
            fail("%s: file ends inside road %d", road_file_name, i);
        }
        road.point_count = points;
        road.section_count = points - 1;
        for (std::int32_t j = 0; j < points; ++j) {
            // The road file stores whole centimetres.
            road.points[j].x = take_i32_le(reader) / 100.0;
            road.points[j].z = take_i32_le(reader) / 100.0;
        }
    }
    road_count = count;
}

std::optional<std::int32_t> centimetres_from_metres(double metres) {
    double centimetres = metres * 100.0;
    // Whatever rounds into the int32 range; false for not-a-number as well.
    if (!(centimetres > -2147483648.5 && centimetres < 2147483647.5)) return std::nullopt;
    return static_cast<std::int32_t>(std::llround(centimetres));
}

void put_road_count(byte_buffer& out, std::int32_t count) { put_i32_le(out, count); }

void put_road_entry(byte_buffer& out, std::int32_t attribute_1, std::int32_t attribute_2,
                    const road_file_point* points, std::int32_t point_count) {
    put_i32_le(out, attribute_1);
    put_i32_le(out, attribute_2);
    put_i32_le(out, point_count);
    for (std::int32_t j = 0; j < point_count; ++j) {
        put_i32_le(out, points[j].x);
        put_i32_le(out, points[j].z);
    }
}

byte_buffer encode_road_file() {
    // The marker road makes one road more, and a file of more roads than the table holds
    // could not be loaded again.
    if (road_count >= max_roads) {
        fail("%s: the road table holds %d roads, which leaves no room for the marker road", road_file_name,
             road_count);
    }
    byte_buffer out;
    put_road_count(out, road_count + 1);
    road_file_point stored[max_road_points > max_markers ? max_road_points : max_markers];
    for (std::int32_t i = 0; i < road_count; ++i) {
        const road_record& road = roads[i];
        for (std::int32_t j = 0; j < road.point_count; ++j) {
            std::optional<std::int32_t> x = centimetres_from_metres(road.points[j].x);
            std::optional<std::int32_t> z = centimetres_from_metres(road.points[j].z);
            if (!x || !z)
                fail("%s: point %d of road %d cannot be stored in centimetres", road_file_name, j, i);
            stored[j] = {*x, *z};
        }
        put_road_entry(out, road.attribute_1, road.attribute_2, stored, road.point_count);
    }
    for (std::int32_t k = 0; k < marker_count; ++k) {
        // Markers are whole metres, so their centimetres are exact multiples of 100.
        std::optional<std::int32_t> x = centimetres_from_metres(markers[k].x);
        std::optional<std::int32_t> z = centimetres_from_metres(markers[k].z);
        if (!x || !z) fail("%s: marker %d cannot be stored in centimetres", road_file_name, k);
        stored[k] = {*x, *z};
    }
    // The marker road carries the attribute words of the last road; of none, zeros.
    const bool have_roads = road_count > 0;
    put_road_entry(out, have_roads ? roads[road_count - 1].attribute_1 : 0,
                   have_roads ? roads[road_count - 1].attribute_2 : 0, stored, marker_count);
    return out;
}

void write_road_file() {
    std::printf("writing road file\n");
    byte_buffer bytes = encode_road_file();
    output_file out = open_output(road_file_name, road_file_name);
    std::printf("%s opened\n", road_file_name);
    write_output(out, bytes.data(), bytes.size());
    commit_output(out);
}
