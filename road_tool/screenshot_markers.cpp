#include "screenshot_markers.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "drive_path.hpp"
#include "fail.hpp"
#include "file_io.hpp"
#include "road_file.hpp"
#include "road_table.hpp"

namespace {

constexpr std::size_t header_bytes = 66;
constexpr std::size_t gap_bytes = 16;

std::int32_t checked_coordinate(const char* line, const std::string& path, const char* axis) {
    std::optional<std::int32_t> value = marker_coordinate(line);
    if (!value) fail("%s: the %s value is not a number the road file can store", path.c_str(), axis);
    return *value;
}

}  // namespace

bool file_exists(const char* path) { return can_open_for_reading(path); }

void read_value_line(text_stream& stream, char* buffer, std::size_t capacity) {
    std::size_t stored = 0;
    for (;;) {
        int c = text_getc(stream);
        if (c == text_end_of_file) break;
        if (stored + 1 < capacity) buffer[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[stored] = '\0';
}

std::optional<std::int32_t> marker_coordinate(const char* line) {
    double value = std::trunc(std::strtod(line, nullptr));
    // The road file stores a marker's whole metres times 100 in an int32.
    if (!centimetres_from_metres(value)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void read_screenshot_markers() {
    for (int n = 0;; ++n) {
        // The path is formatted as the Windows path first; its longest form (a ten-digit
        // number) still fits.
        char windows_path[64];
        std::snprintf(windows_path, sizeof windows_path, marker_path_format, n);
        std::string path = drive_path(windows_path);
        if (!file_exists(path.c_str())) {
            marker_count = n;
            return;
        }
        if (n == max_markers) {
            fail("%s: more than %d screenshot marker files, the most the marker table holds", path.c_str(),
                 max_markers);
        }
        text_stream stream;
        if (!open_text_stream(path.c_str(), stream)) fail("cannot open %s", path.c_str());
        std::printf("%s opened\n", path.c_str());

        char line_1[16];
        char line_2[16];
        char line_3[16];
        char line_4[8];
        char line_5[8];
        text_skip(stream, header_bytes);
        read_value_line(stream, line_1, sizeof line_1);
        text_skip(stream, gap_bytes);
        read_value_line(stream, line_2, sizeof line_2);
        text_skip(stream, gap_bytes);
        read_value_line(stream, line_3, sizeof line_3);
        text_skip(stream, gap_bytes);
        read_value_line(stream, line_4, sizeof line_4);
        text_skip(stream, gap_bytes);
        read_value_line(stream, line_5, sizeof line_5);

        markers[n].x = checked_coordinate(line_1, path, "x");
        markers[n].z = checked_coordinate(line_3, path, "z");
    }
}
