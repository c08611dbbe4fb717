#include "svg_format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

void append_number(std::string& out, double value) {
    // to_chars, unlike printf, never looks at the locale. The longest value drawn is a
    // float's 3.4e38 plus margins: 39 digits, two decimals, a sign and a point.
    char text[400];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    char* end = result.ptr;
    if (result.ec != std::errc()) {
        // Beyond anything a map file can hold; drawn as zero rather than as a broken number.
        out += '0';
        return;
    }
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    const char* start = text;
    if (end - start == 2 && start[0] == '-' && start[1] == '0') ++start;
    out.append(start, static_cast<std::size_t>(end - start));
}

void append_escaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
}

void extend_extent(map_extent& extent, double x, double z) {
    if (extent.empty) {
        extent = {false, x, z, x, z};
        return;
    }
    extent.min_x = std::min(extent.min_x, x);
    extent.min_z = std::min(extent.min_z, z);
    extent.max_x = std::max(extent.max_x, x);
    extent.max_z = std::max(extent.max_z, z);
}

namespace {

/// [low, high] grown to at least `side` about its middle.
void widen(double& low, double& high, double side) {
    if (high - low >= side) return;
    const double middle = low / 2 + high / 2;
    low = middle - side / 2;
    high = middle + side / 2;
}

}  // namespace

preview_frame frame_for(const map_extent& extent) {
    map_extent map = extent;
    if (map.empty) map = {false, 0, 0, 0, 0};
    widen(map.min_x, map.max_x, min_map_side);
    widen(map.min_z, map.max_z, min_map_side);

    preview_frame frame{};
    frame.map_left = map.min_x;
    frame.map_right = map.max_x;
    frame.map_top = -map.max_z;
    frame.map_bottom = -map.min_z;
    frame.unit = std::max(map.max_x - map.min_x, map.max_z - map.min_z) / 1000;
    const double margin = frame_margin_units * frame.unit;
    frame.view_x = frame.map_left - margin;
    frame.view_y = frame.map_top - margin;
    frame.panel_left = frame.map_right + margin;
    frame.band_top = frame.map_bottom + margin;
    frame.view_width = frame.panel_left + panel_width_units * frame.unit - frame.view_x;
    frame.view_height = frame.band_top + band_height_units * frame.unit - frame.view_y;
    return frame;
}

double scale_bar_length(double longest) {
    double power = std::pow(10.0, std::floor(std::log10(longest)));
    // log10 may land a hair off an exact power of ten.
    if (power > longest) power /= 10;
    if (power * 10 <= longest) power *= 10;
    for (double step : {5.0, 2.0}) {
        if (step * power <= longest) return step * power;
    }
    return power;
}

std::string height_shade(double fraction) {
    struct colour {
        double red, green, blue;
    };
    // Low ground pale green, middle sand, high ground brown: pale enough that the roads,
    // outlines and network drawn over it stand out.
    constexpr colour stops[] = {{206, 230, 188}, {236, 222, 170}, {178, 140, 98}};
    double t = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0) * 2;
    const int segment = t >= 1 ? 1 : 0;
    t -= segment;
    const colour& a = stops[segment];
    const colour& b = stops[segment + 1];
    auto channel = [t](double from, double to) {
        return static_cast<int>(std::lround(from + (to - from) * t));
    };
    const int red = channel(a.red, b.red);
    const int green = channel(a.green, b.green);
    const int blue = channel(a.blue, b.blue);
    constexpr char digits[] = "0123456789abcdef";
    std::string shade = "#";
    for (int value : {red, green, blue}) {
        shade += digits[value >> 4];
        shade += digits[value & 15];
    }
    return shade;
}
