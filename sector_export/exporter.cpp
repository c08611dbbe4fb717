#include "exporter.hpp"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "byte_order.hpp"
#include "fail.hpp"
#include "terrain.hpp"
#include "text_format.hpp"

int sector_argument(const char* text, const char* what) {
    errno = 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) fail("%s %s is out of range", what, text);
    return static_cast<int>(value);
}

std::string sector_file_name(int row, int column) {
    std::string name;
    append_format(name, "%03dx%03d.lwo", row, column);
    return name;
}

void print_sector_points(int row, int column) {
    const terrain_sector& sector = sector_at(row, column);
    const std::size_t points = sector.number_of_points;
    require_terrain_bytes(sector.heights, 2 * points, "heights", row, column);
    require_terrain_bytes(sector.point_xz, 4 * points, "point positions", row, column);
    for (std::size_t i = 0; i < points; ++i) {
        const unsigned char* xz = sector.point_xz + 4 * i;
        std::printf("%d  %d  %d  %d\n", static_cast<int>(i), static_cast<std::int16_t>(get_u16_le(xz)),
                    static_cast<std::int16_t>(get_u16_le(xz + 2)),
                    get_u16_le(sector.heights + 2 * i) & 0x7FFF);
    }
}
