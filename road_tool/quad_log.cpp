#include "quad_log.hpp"

#include <cstdio>

#include "file_io.hpp"
#include "road_table.hpp"
#include "text_format.hpp"

namespace {

constexpr const char* quad_log_name = "quad_points_text.log";

void append_corner(std::string& text, char name, const road_point& corner) {
    text += name;
    text += " = ";
    append_fixed(text, corner.x);
    text += "  ";
    append_fixed(text, corner.z);
    text += '\n';
}

}  // namespace

std::string format_quad_log() {
    std::string text;
    for (std::int32_t r = 0; r < road_count; ++r) {
        const road_record& road = roads[r];
        append_format(text, "Road %d\n\n", r);
        for (std::int32_t j = 0; j < road.section_count; ++j) {
            const section_quad& quad = road.quads[j];
            append_format(text, "quad %d\n\n", j);
            append_corner(text, 'p', quad.p);
            append_corner(text, 'q', quad.q);
            append_corner(text, 'r', quad.r);
            append_corner(text, 's', quad.s);
            text += '\n';
        }
    }
    return text;
}

void write_quad_log() {
    output_file out = open_output(quad_log_name, quad_log_name);
    std::printf("%s opened\n", quad_log_name);
    std::string text = format_quad_log();
    write_output(out, text.data(), text.size());
    commit_output(out);
}
