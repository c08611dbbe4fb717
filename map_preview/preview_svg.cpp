#include "preview_svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "svg_format.hpp"

namespace {

constexpr const char* preview_file_name = "map_preview.svg";
constexpr std::size_t block_size = 1 << 20;

// The layers' colours: dark roads over pale terrain, the rest in colours of their own.
constexpr const char* road_colour = "#262626";
constexpr const char* point_colour = "#d62828";
constexpr const char* outline_fill = "#f4a259";
constexpr const char* outline_edge = "#b85c1e";
constexpr const char* bridge_colour = "#1d4ed8";
constexpr const char* network_colour = "#7b2cbf";
constexpr const char* label_colour = "#505050";

// Sizes in units (a thousandth of the map's longer side, a pixel of the picture).
constexpr double road_width = 1.3;
constexpr double point_radius = 2.8;
constexpr double outline_edge_width = 2.6;
constexpr double bridge_width = 7;
constexpr double path_width = 1.2;
constexpr double node_radius = 4.5;
constexpr double cell_edge_width = 0.8;
constexpr double text_size = 18;
constexpr double title_size = 24;
constexpr double max_label_size = 26;

struct svg_writer {
    svg_output& output;
    const preview_frame& frame;

    /// A length given in units.
    double units(double count) const { return count * frame.unit; }

    /// Writes out what has gathered once it makes a block.
    void spill() {
        if (output.out != nullptr && output.text.size() >= block_size) {
            write_output(*output.out, output.text.data(), output.text.size());
            output.text.clear();
        }
    }

    void raw(std::string_view text) { output.text += text; }

    void number(double value) { append_number(output.text, value); }

    /// ` name="value"`
    void attribute(const char* name, double value) {
        output.text += ' ';
        output.text += name;
        output.text += "=\"";
        append_number(output.text, value);
        output.text += '"';
    }

    void attribute(const char* name, std::string_view value) {
        output.text += ' ';
        output.text += name;
        output.text += "=\"";
        append_escaped(output.text, value);
        output.text += '"';
    }

    /// "x,y x,y ..." of map points, y being -z.
    void points(const map_polyline& line) {
        output.text += " points=\"";
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i > 0) output.text += ' ';
            append_number(output.text, line[i].x);
            output.text += ',';
            append_number(output.text, -line[i].z);
        }
        output.text += '"';
    }

    /// A circle in the group's fill, or in `fill` when one is given.
    void circle(double x, double y, double radius, std::string_view fill = {}) {
        raw("<circle");
        attribute("cx", x);
        attribute("cy", y);
        attribute("r", radius);
        if (!fill.empty()) attribute("fill", fill);
        raw("/>\n");
    }

    /// ` stroke-dasharray="..."` of the paths' dashes.
    std::string path_dashes() const {
        std::string dashes = " stroke-dasharray=\"";
        append_number(dashes, units(6));
        dashes += ' ';
        append_number(dashes, units(4));
        return dashes + '"';
    }

    void line(double x1, double y1, double x2, double y2) {
        raw("<line");
        attribute("x1", x1);
        attribute("y1", y1);
        attribute("x2", x2);
        attribute("y2", y2);
        raw("/>\n");
    }

    void rect(double x, double y, double width, double height, std::string_view fill) {
        raw("<rect");
        attribute("x", x);
        attribute("y", y);
        attribute("width", width);
        attribute("height", height);
        attribute("fill", fill);
        raw("/>\n");
    }

    void text(double x, double y, double size, std::string_view content, std::string_view extra = {}) {
        raw("<text");
        attribute("x", x);
        attribute("y", y);
        attribute("font-size", size);
        raw(extra);
        raw(">");
        append_escaped(output.text, content);
        raw("</text>\n");
    }

    void close_group() { raw("</g>\n"); }
};

map_extent extent_of(const map_layers& layers) {
    map_extent extent;
    auto add_line = [&extent](const map_polyline& line) {
        for (const map_point& point : line) extend_extent(extent, point.x, point.z);
    };
    for (const map_polyline& road : layers.roads) add_line(road);
    for (const map_polyline& outline : layers.outlines) add_line(outline);
    for (const auto& bridge : layers.bridges) add_line({bridge[0], bridge[1]});
    add_line(layers.nodes);
    for (const map_polyline& path : layers.paths) add_line(path);
    for (const terrain_cell& cell : layers.cells) {
        extend_extent(extent, cell.min_x, cell.min_z);
        extend_extent(extent, cell.max_x, cell.max_z);
    }
    return extent;
}

struct height_range {
    double lowest = 0;
    double highest = 0;
};

height_range mean_height_range(const map_layers& layers) {
    height_range range;
    for (std::size_t i = 0; i < layers.cells.size(); ++i) {
        const double mean = layers.cells[i].mean_height;
        range.lowest = i == 0 ? mean : std::min(range.lowest, mean);
        range.highest = i == 0 ? mean : std::max(range.highest, mean);
    }
    return range;
}

double shade_fraction(const height_range& range, double mean) {
    if (range.highest <= range.lowest) return 0.5;
    return (mean - range.lowest) / (range.highest - range.lowest);
}

/// The name sector_export gives the sector's object, without ".lwo".
std::string sector_name(int row, int column) {
    char name[32];
    std::snprintf(name, sizeof name, "%03dx%03d", row, column);
    return name;
}

void write_terrain(svg_writer& svg, const map_layers& layers, const height_range& range) {
    svg.raw("<g id=\"terrain\" stroke=\"#ffffff\"");
    svg.attribute("stroke-width", svg.units(cell_edge_width));
    svg.raw(">\n");
    for (const terrain_cell& cell : layers.cells) {
        svg.raw("<rect");
        svg.attribute("x", cell.min_x);
        svg.attribute("y", -cell.max_z);
        svg.attribute("width", cell.max_x - cell.min_x);
        svg.attribute("height", cell.max_z - cell.min_z);
        svg.attribute("fill", height_shade(shade_fraction(range, cell.mean_height)));
        svg.raw("><title>");
        std::string title = sector_name(cell.row, cell.column) + ": mean height ";
        append_number(title, cell.mean_height);
        append_escaped(svg.output.text, title);
        svg.raw("</title></rect>\n");
        svg.spill();
    }
    svg.close_group();

    svg.raw("<g id=\"sector-labels\"");
    svg.attribute("fill", label_colour);
    svg.raw(">\n");
    for (const terrain_cell& cell : layers.cells) {
        const double side = std::min(cell.max_x - cell.min_x, cell.max_z - cell.min_z);
        const double size = std::min(0.14 * side, svg.units(max_label_size));
        svg.text(cell.min_x + 0.3 * size, -cell.max_z + 1.2 * size, size, sector_name(cell.row, cell.column));
        svg.spill();
    }
    svg.close_group();
}

void write_outlines(svg_writer& svg, const map_layers& layers) {
    svg.raw("<g id=\"outlines\"");
    svg.attribute("fill", outline_fill);
    svg.raw(" fill-opacity=\"0.6\"");
    svg.attribute("stroke", outline_edge);
    svg.attribute("stroke-width", svg.units(outline_edge_width));
    svg.raw(" stroke-linejoin=\"round\">\n");
    for (const map_polyline& outline : layers.outlines) {
        svg.raw("<polygon");
        svg.points(outline);
        svg.raw("/>\n");
        svg.spill();
    }
    svg.close_group();
}

void write_polylines(svg_writer& svg, const char* id, const std::vector<map_polyline>& lines,
                     const char* colour, double width, std::string_view extra) {
    svg.raw("<g");
    svg.attribute("id", id);
    svg.raw(" fill=\"none\"");
    svg.attribute("stroke", colour);
    svg.attribute("stroke-width", svg.units(width));
    svg.raw(" stroke-linejoin=\"round\" stroke-linecap=\"round\"");
    svg.raw(extra);
    svg.raw(">\n");
    for (const map_polyline& line : lines) {
        svg.raw("<polyline");
        svg.points(line);
        svg.raw("/>\n");
        svg.spill();
    }
    svg.close_group();
}

void write_road_points(svg_writer& svg, const map_layers& layers) {
    svg.raw("<g id=\"road-points\"");
    svg.attribute("fill", point_colour);
    svg.raw(">\n");
    for (const map_polyline& road : layers.roads) {
        for (const map_point& point : road) {
            svg.circle(point.x, -point.z, svg.units(point_radius));
            svg.spill();
        }
    }
    svg.close_group();
}

void write_nodes(svg_writer& svg, const map_layers& layers) {
    svg.raw("<g id=\"nodes\"");
    svg.attribute("fill", network_colour);
    svg.raw(" stroke=\"#ffffff\"");
    svg.attribute("stroke-width", svg.units(1));
    svg.raw(">\n");
    for (const map_point& node : layers.nodes) {
        svg.circle(node.x, -node.z, svg.units(node_radius));
        svg.spill();
    }
    svg.close_group();
}

void write_bridges(svg_writer& svg, const map_layers& layers) {
    svg.raw("<g id=\"bridges\"");
    svg.attribute("stroke", bridge_colour);
    svg.attribute("stroke-width", svg.units(bridge_width));
    svg.raw(" stroke-linecap=\"round\">\n");
    for (const auto& bridge : layers.bridges) {
        svg.line(bridge[0].x, -bridge[0].z, bridge[1].x, -bridge[1].z);
        svg.spill();
    }
    svg.close_group();
}

std::string metres_text(double metres) {
    std::string text;
    append_number(text, metres);
    return text + " m";
}

void write_scale_bar(svg_writer& svg) {
    const preview_frame& frame = svg.frame;
    const double length = scale_bar_length((frame.map_right - frame.map_left) * 0.4);
    const double left = frame.map_left;
    const double top = frame.band_top + svg.units(8);
    const double height = svg.units(10);
    svg.raw("<g id=\"scale-bar\" stroke=\"#000000\"");
    svg.attribute("stroke-width", svg.units(1));
    svg.raw(">\n");
    // Two halves, black and white, so that the middle can be read off too.
    svg.rect(left, top, length / 2, height, "#000000");
    svg.rect(left + length / 2, top, length / 2, height, "#ffffff");
    const double baseline = top + height + svg.units(text_size + 4);
    const std::string_view plain = " stroke=\"none\" fill=\"#000000\" text-anchor=\"middle\"";
    svg.text(left, baseline, svg.units(text_size), "0", plain);
    svg.text(left + length / 2, baseline, svg.units(text_size), metres_text(length / 2), plain);
    svg.text(left + length, baseline, svg.units(text_size), metres_text(length), plain);
    svg.close_group();
}

/// The legend's entries one below the other, each a sample of the layer beside its text.
struct legend_writer {
    svg_writer& svg;
    double left;
    double y;  // the baseline of the next line of text

    double swatch_left() const { return left; }
    double swatch_right() const { return left + svg.units(34); }
    double swatch_middle() const { return left + svg.units(17); }
    double text_left() const { return left + svg.units(44); }
    double middle() const { return y - svg.units(text_size * 0.35); }

    void entry_text(const std::string& text) {
        svg.text(text_left(), y, svg.units(text_size), text);
        y += svg.units(text_size * 1.7);
    }

    void note(const std::string& text) {
        svg.text(text_left(), y, svg.units(text_size * 0.85), text);
        y += svg.units(text_size * 1.4);
    }

    void line_sample(const char* colour, double width, std::string_view extra) {
        svg.raw("<line");
        svg.attribute("x1", swatch_left());
        svg.attribute("y1", middle());
        svg.attribute("x2", swatch_right());
        svg.attribute("y2", middle());
        svg.attribute("stroke", colour);
        svg.attribute("stroke-width", svg.units(width));
        svg.raw(" stroke-linecap=\"round\"");
        svg.raw(extra);
        svg.raw("/>\n");
    }
};

std::string counted(const char* what, std::size_t count) {
    return std::string(what) + ": " + std::to_string(count);
}

void write_legend(svg_writer& svg, const map_layers& layers, const height_range& range) {
    const preview_frame& frame = svg.frame;
    legend_writer legend{svg, frame.panel_left, frame.map_top + svg.units(title_size)};
    svg.raw("<g id=\"legend\" fill=\"#000000\">\n");
    svg.text(legend.left, legend.y, svg.units(title_size), "map preview", " font-weight=\"bold\"");
    legend.y += svg.units(title_size * 1.6);

    if (layers.has_roads) {
        std::size_t points = 0;
        for (const map_polyline& road : layers.roads) points += road.size();
        legend.line_sample(road_colour, road_width, "");
        legend.entry_text(counted("roads (Grand.ROAD)", layers.roads.size()));
        svg.circle(legend.swatch_middle(), legend.middle(), svg.units(point_radius), point_colour);
        legend.entry_text(counted("road points", points));
    }
    if (layers.has_outlines) {
        svg.raw("<rect");
        svg.attribute("x", legend.swatch_left());
        svg.attribute("y", legend.middle() - svg.units(6));
        svg.attribute("width", svg.units(34));
        svg.attribute("height", svg.units(12));
        svg.attribute("fill", outline_fill);
        svg.raw(" fill-opacity=\"0.6\"");
        svg.attribute("stroke", outline_edge);
        svg.attribute("stroke-width", svg.units(outline_edge_width));
        svg.raw("/>\n");
        legend.entry_text(counted("road outlines (map.LCOV)", layers.outlines.size()));
    }
    if (layers.has_bridges) {
        legend.line_sample(bridge_colour, bridge_width, "");
        legend.entry_text(counted("bridges (bridge.dat)", layers.bridges.size()));
    }
    if (layers.has_paths) {
        legend.line_sample(network_colour, path_width, svg.path_dashes());
        legend.entry_text(counted("network paths (ROADS.WP)", layers.paths.size()));
    }
    if (layers.has_nodes) {
        svg.circle(legend.swatch_middle(), legend.middle(), svg.units(node_radius), network_colour);
        legend.entry_text(counted("network nodes (ROADS.NDE)", layers.nodes.size()));
    }
    if (layers.has_terrain) {
        // Three samples: the lowest mean height, the middle and the highest.
        const double third = svg.units(34) / 3;
        for (int k = 0; k < 3; ++k) {
            svg.rect(legend.swatch_left() + k * third, legend.middle() - svg.units(6), third, svg.units(12),
                     height_shade(k / 2.0));
        }
        legend.entry_text("terrain: " + std::to_string(layers.sector_rows) + " x " +
                          std::to_string(layers.sector_columns) + " sectors, " +
                          std::to_string(layers.cells.size()) + " drawn");
        std::string heights = "mean height ";
        append_number(heights, std::round(range.lowest));
        heights += " to ";
        append_number(heights, std::round(range.highest));
        heights += " (stored units)";
        legend.note(heights);
        legend.note("1 terrain unit drawn as 1 m");
    }
    legend.y += svg.units(text_size * 0.6);
    svg.text(legend.left, legend.y, svg.units(text_size * 0.85), "x to the right, z upward, metres");
    svg.close_group();
}

}  // namespace

void write_preview_svg(const map_layers& layers, svg_output& output) {
    const preview_frame frame = frame_for(extent_of(layers));
    svg_writer svg{output, frame};
    const height_range range = mean_height_range(layers);

    svg.raw(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "version=\"1.1\"");
    // One unit is one pixel of the picture's size.
    svg.attribute("width", std::ceil(frame.view_width / frame.unit));
    svg.attribute("height", std::ceil(frame.view_height / frame.unit));
    svg.raw(" viewBox=\"");
    svg.number(frame.view_x);
    svg.raw(" ");
    svg.number(frame.view_y);
    svg.raw(" ");
    svg.number(frame.view_width);
    svg.raw(" ");
    svg.number(frame.view_height);
    svg.raw("\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\">\n<title>map preview</title>\n");
    svg.raw("<g id=\"background\">\n");
    svg.rect(frame.view_x, frame.view_y, frame.view_width, frame.view_height, "#ffffff");
    svg.raw("<rect");
    svg.attribute("x", frame.map_left);
    svg.attribute("y", frame.map_top);
    svg.attribute("width", frame.map_right - frame.map_left);
    svg.attribute("height", frame.map_bottom - frame.map_top);
    svg.raw(" fill=\"#f7f7f7\" stroke=\"#bbbbbb\"");
    svg.attribute("stroke-width", svg.units(1));
    svg.raw("/>\n");
    svg.close_group();

    if (layers.has_terrain) write_terrain(svg, layers, range);
    if (layers.has_outlines) write_outlines(svg, layers);
    if (layers.has_roads) {
        write_polylines(svg, "roads", layers.roads, road_colour, road_width, "");
        write_road_points(svg, layers);
    }
    if (layers.has_paths) {
        write_polylines(svg, "paths", layers.paths, network_colour, path_width, svg.path_dashes());
    }
    if (layers.has_nodes) write_nodes(svg, layers);
    if (layers.has_bridges) write_bridges(svg, layers);
    write_scale_bar(svg);
    write_legend(svg, layers, range);
    svg.raw("</svg>\n");
}

std::string preview_svg_text(const map_layers& layers) {
    svg_output output;
    write_preview_svg(layers, output);
    return output.text;
}

void write_map_preview(const map_layers& layers) {
    output_file out = open_output(preview_file_name, preview_file_name);
    std::printf("%s opened\n", preview_file_name);
    svg_output output{{}, &out};
    write_preview_svg(layers, output);
    write_output(out, output.text.data(), output.text.size());
    commit_output(out);
}
