#include "node_path_report.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string_view>

#include "byte_order.hpp"
#include "fail.hpp"
#include "fixed_format.hpp"
#include "helper_thread.hpp"
#include "network_files.hpp"
#include "point_distance.hpp"

std::int32_t number_of_nodes;
network_point* node_positions;

std::int32_t number_of_paths;
path_record* path_records;

network_point* point_block;
std::size_t number_of_points;

report_writer node_report;
report_writer path_report;

namespace {

constexpr std::size_t point_size = 12;
constexpr std::size_t path_header_size = 16;

// The inputs, each read front to back through its own buffer.
stream_reader node_input;
stream_reader path_input;

/// X, Y and Z of a node position or point; the caller has checked that 12 bytes are left.
network_point take_point(stream_reader& reader) {
    const unsigned char* bytes = take_buffered_bytes(reader, point_size);
    return network_point{get_f32_le(bytes), get_f32_le(bytes + 4), get_f32_le(bytes + 8)};
}

// Room for the lines of one point: a point line is at most 11 + 3 * (2 + 48) + 1 characters,
// a distance line 1 + 20 + 8.
constexpr std::size_t max_point_lines_length = 256;

/// "%d  %f  %f  %f\n" at `out`: the columns are X, Z, Y, not the file's order.
char* format_point_line(char* out, std::int32_t index, const network_point& point) {
    out = format_integer(out, index);
    out = put_text(out, "  ");
    out = format_fixed_float(out, point.x);
    out = put_text(out, "  ");
    out = format_fixed_float(out, point.z);
    out = put_text(out, "  ");
    out = format_fixed_float(out, point.y);
    return put_text(out, "\n");
}

void report_point_line(report_writer& report, std::int32_t index, const network_point& point) {
    report_wrote(report, format_point_line(report_space(report, max_point_lines_length), index, point));
}

/// Reads the four header fields of path `p` and checks that its points are all there.
void read_path_header(stream_reader& reader, std::int32_t p, path_record& path) {
    if (bytes_left(reader) < path_header_size) fail("%s: file ends inside path %d", path_file_name, p);
    path.from_node = take_i32_le(reader);
    path.to_node = take_i32_le(reader);
    path.type = take_i32_le(reader);
    path.count = take_i32_le(reader);
    if (path.count < 0) fail("%s: path %d has a negative count (%d)", path_file_name, p, path.count);
    // Divide, don't multiply: the count is checked against the bytes actually there.
    if (bytes_left(reader) / point_size < static_cast<std::uint64_t>(path.count)) {
        fail("%s: file ends inside path %d", path_file_name, p);
    }
}

void check_distance_coordinate(float value, const char* axis, std::int32_t i, std::int32_t p) {
    if (whole_metres(value)) return;
    if (!std::isfinite(value)) {
        fail("%s: %s of point %d of path %d is not a finite number", path_file_name, axis, i, p);
    }
    fail("%s: %s of point %d of path %d (%f) does not fit a 32-bit integer", path_file_name, axis, i, p,
         static_cast<double>(value));
}

/// Every point of a path of two or more points enters a distance, so its X and Z must have
/// whole parts that fit an int32. Checked before any line of the path is written.
void check_distance_points(const path_record& path, std::int32_t p) {
    if (path.count < 2) return;
    for (std::int32_t i = 0; i < path.count; ++i) {
        // Every float strictly between these truncates into the int32 range; not for NaN.
        const float x = path.points[i].x;
        const float z = path.points[i].z;
        if (x > -2147483904.0f && x < 2147483648.0f && z > -2147483904.0f && z < 2147483648.0f) continue;
        check_distance_coordinate(x, "X", i, p);
        check_distance_coordinate(z, "Z", i, p);
    }
}

/// The whole metres of a coordinate that `check_distance_points` has let through.
inline std::int32_t checked_whole_metres(float metres) { return static_cast<std::int32_t>(metres); }

/// The lines of point `i` of a checked path at `out`: for i > 0 first "\t%d meters\n" with the
/// distance from point i - 1, then the point line.
char* format_point_lines(char* out, const path_record& path, std::int32_t i) {
    const network_point& point = path.points[i];
    if (i > 0) {
        const network_point& earlier = path.points[i - 1];
        out = put_text(out, "\t");
        out = format_integer(out,
                             point_distance(checked_whole_metres(earlier.x), checked_whole_metres(point.x),
                                            checked_whole_metres(earlier.z), checked_whole_metres(point.z)));
        out = put_text(out, " meters\n");
    }
    return format_point_line(out, i, point);
}

// A long path's lines are formatted on two threads: the points go in pairs of chunks, the
// main thread formatting the first chunk of a pair into the report while a helper formats
// the second into a buffer of its own, which the main thread then writes. Formatting is most
// of the work of a large report. The main thread alone reads, checks and writes, so the
// report, the console and every failure are what they would be with one thread.
constexpr std::int32_t points_per_chunk = 4096;

struct line_chunk {
    const path_record* path;
    std::int32_t first;  // points [first, last)
    std::int32_t last;
    char* end;  // of the text, once formatted
    char text[points_per_chunk * max_point_lines_length];
};

line_chunk helper_chunk;
helper_thread line_formatter;

void format_chunk(void* argument) {
    line_chunk& chunk = *static_cast<line_chunk*>(argument);
    char* out = chunk.text;
    for (std::int32_t i = chunk.first; i < chunk.last; ++i) out = format_point_lines(out, *chunk.path, i);
    chunk.end = out;
}

void report_point_lines(const path_record& path, std::int32_t first, std::int32_t last) {
    for (std::int32_t i = first; i < last; ++i) {
        report_wrote(path_report,
                     format_point_lines(report_space(path_report, max_point_lines_length), path, i));
    }
}

void report_point_lines(const path_record& path) {
    if (path.count <= points_per_chunk) {
        report_point_lines(path, 0, path.count);
        return;
    }
    for (std::int32_t first = 0; first < path.count; first += 2 * points_per_chunk) {
        const std::int32_t middle = std::min(path.count - first, points_per_chunk) + first;
        if (middle == path.count) {
            report_point_lines(path, first, middle);
            break;
        }
        helper_chunk.path = &path;
        helper_chunk.first = middle;
        helper_chunk.last = std::min(path.count - middle, points_per_chunk) + middle;
        start_job(line_formatter, format_chunk, &helper_chunk);
        report_point_lines(path, first, middle);
        finish_job(line_formatter);
        report_text(path_report,
                    std::string_view(helper_chunk.text,
                                     static_cast<std::size_t>(helper_chunk.end - helper_chunk.text)));
    }
}

void report_path(const path_record& path, std::int32_t p) {
    report_text(path_report, "path ");
    report_int(path_report, p);
    report_text(path_report, "  from node ");
    report_int(path_report, path.from_node);
    report_text(path_report, "  to node ");
    report_int(path_report, path.to_node);
    report_text(path_report, "  type = ");
    report_int(path_report, path.type);
    report_text(path_report, "  count = ");
    report_int(path_report, path.count);
    report_text(path_report, "\n\npoints  X  Z  Y\n  Distance\n\n");
    report_point_lines(path);
    report_text(path_report, "\n");
}

}  // namespace

void open_node_and_path_reports() {
    open_network_report(node_report, "road_node_text.log");
    open_network_report(path_report, "road_path_text.log");
}

void load_node_positions() {
    stream_reader& reader = node_input;
    open_network_input(node_file_name, reader);
    if (bytes_left(reader) < 4) fail("%s: file ends before the number of nodes", node_file_name);
    std::int32_t count = take_i32_le(reader);
    if (count < 0) fail("%s: number of nodes %d is negative", node_file_name, count);
    std::uint64_t room = bytes_left(reader) / point_size;
    if (room < static_cast<std::uint64_t>(count)) {
        fail("%s: file ends inside node position %llu", node_file_name,
             static_cast<unsigned long long>(room));
    }
    number_of_nodes = count;
    node_positions =
        allocate_table<network_point>(static_cast<std::size_t>(count), node_file_name, "node positions");
    for (std::int32_t k = 0; k < count; ++k) node_positions[k] = take_point(reader);
    close_stream_reader(reader);
}

void write_node_report() {
    load_node_positions();
    report_text(node_report, "number of nodes = ");
    report_int(node_report, number_of_nodes);
    report_text(node_report, "\n\nnode  X  Z  Y\n\n");
    for (std::int32_t k = 0; k < number_of_nodes; ++k) report_point_line(node_report, k, node_positions[k]);
}

void load_paths(bool report) {
    stream_reader& reader = path_input;
    open_network_input(path_file_name, reader);
    if (bytes_left(reader) < 4) fail("%s: file ends before the number of paths", path_file_name);
    std::int32_t count = take_i32_le(reader);
    if (count < 0) fail("%s: number of paths %d is negative", path_file_name, count);
    if (bytes_left(reader) / path_header_size < static_cast<std::uint64_t>(count)) {
        fail("%s: file too short for %d paths", path_file_name, count);
    }
    number_of_paths = count;
    path_records = allocate_table<path_record>(static_cast<std::size_t>(count), path_file_name, "paths");
    if (report) {
        report_text(path_report, "number of paths = ");
        report_int(path_report, number_of_paths);
        report_text(path_report, "\n\n");
    }

    // First pass: the headers only, stepping over the points, to size the point block.
    const std::uint64_t first_path_offset = reader.position;
    std::uint64_t total = 0;
    for (std::int32_t p = 0; p < number_of_paths; ++p) {
        read_path_header(reader, p, path_records[p]);
        std::uint64_t points = static_cast<std::uint64_t>(path_records[p].count);
        total += points;
        skip_bytes(reader, points * point_size);
    }

    // Second pass: back to the first path, reading the points of each path into its slice.
    seek_to(reader, first_path_offset);
    point_block =
        allocate_filled_table<network_point>(static_cast<std::size_t>(total), path_file_name, "points");
    number_of_points = static_cast<std::size_t>(total);
    network_point* next_free = point_block;
    for (std::int32_t p = 0; p < number_of_paths; ++p) {
        path_record& path = path_records[p];
        read_path_header(reader, p, path);
        path.points = next_free;
        for (std::int32_t i = 0; i < path.count; ++i) path.points[i] = take_point(reader);
        check_distance_points(path, p);
        if (report) report_path(path, p);
        next_free += path.count;
    }
    close_stream_reader(reader);
    stop_helper(line_formatter);
}

void write_path_report() { load_paths(true); }

void close_node_and_path_reports() {
    close_report(node_report);
    close_report(path_report);
}

void release_node_and_path_tables() {
    delete[] node_positions;
    node_positions = nullptr;
    number_of_nodes = 0;
    delete[] path_records;
    path_records = nullptr;
    number_of_paths = 0;
    delete[] point_block;
    point_block = nullptr;
    number_of_points = 0;
}
