#include "road_log.hpp"

#include <cstdio>

#include "file_io.hpp"
#include "road_table.hpp"
#include "text_format.hpp"

std::string format_road_log() {
    std::string text;
    append_format(text, "%d roads\n\n", road_count);
    for (std::int32_t i = 0; i < road_count; ++i) {
        const road_record& road = roads[i];
        append_format(text, "road %d has %d points\n\n", i, road.point_count);
        for (std::int32_t j = 0; j < road.point_count; ++j) {
            // x goes through a float on its way out (100.01 shows as 100.010002); z does not.
            text += "  ";
            append_fixed(text, static_cast<float>(road.points[j].x));
            text += "   ";
            append_fixed(text, road.points[j].z);
            text += " \n";
        }
        text += '\n';
    }
    return text;
}

void write_road_log() {
    std::printf("printing road file\n");
    std::string text = format_road_log();
    output_file out = open_output("ROAD.log", "ROAD.log");
    std::printf("ROAD.log opened\n");
    write_output(out, text.data(), text.size());
    commit_output(out);
}
