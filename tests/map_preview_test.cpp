// map_preview: the picture's arithmetic and the "map.LCOV" reader called directly, the
// program run end to end in fresh directories, and the sample map's preview parsed as XML
// and rendered by a real SVG renderer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "bridge_file.hpp"
#include "bridges.hpp"
#include "land_cover_outline.hpp"
#include "map_layers.hpp"
#include "preview_svg.hpp"
#include "road_network_files.hpp"
#include "road_table.hpp"
#include "sample_map.hpp"
#include "section_quads.hpp"
#include "svg_format.hpp"
#include "terrain_files.hpp"
#include "test_support.hpp"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::file_names;
using test::le32;
using test::read_file;
using test::run_program;
using test::write_file;

const std::string map_preview = MAP_PREVIEW_PATH;

// ---------------------------------------------------------------------------------------
// A small XML parser: enough of XML 1.0 to check that the preview is well-formed (every
// element closed in order, attributes quoted and unique, text and attribute values free of
// a bare '<' or '&', one root) and to walk what it holds.

struct xml_element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<xml_element> children;
    std::string text;

    const std::string& attribute(const std::string& key) const {
        auto found = attributes.find(key);
        if (found == attributes.end()) throw std::runtime_error("<" + name + "> has no attribute " + key);
        return found->second;
    }
    double number(const std::string& key) const { return std::stod(attribute(key)); }
};

class xml_parser {
   public:
    explicit xml_parser(const std::string& text) : text_(text) {}

    xml_element document() {
        if (text_.compare(0, 5, "<?xml") == 0) {
            position_ = text_.find("?>");
            if (position_ == std::string::npos) error("unterminated declaration");
            position_ += 2;
        }
        skip_space();
        xml_element root = element();
        skip_space();
        if (position_ != text_.size()) error("content after the root element");
        return root;
    }

   private:
    const std::string& text_;
    std::size_t position_ = 0;

    [[noreturn]] void error(const std::string& what) const {
        throw std::runtime_error("XML: " + what + " at byte " + std::to_string(position_));
    }

    bool at_end() const { return position_ >= text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[position_]; }

    void expect(char c) {
        if (peek() != c) error(std::string("expected '") + c + "'");
        ++position_;
    }

    void skip_space() {
        while (!at_end() && std::strchr(" \t\r\n", text_[position_]) != nullptr) ++position_;
    }

    std::string name() {
        const std::size_t start = position_;
        while (!at_end() && (std::isalnum(static_cast<unsigned char>(peek())) || std::strchr("-_:.", peek())))
            ++position_;
        if (position_ == start) error("expected a name");
        return text_.substr(start, position_ - start);
    }

    /// Character data up to `end`, with the five entities decoded.
    std::string characters(char end) {
        std::string out;
        while (!at_end() && peek() != end) {
            const char c = text_[position_++];
            if (c == '<') error("bare '<'");
            if (c != '&') {
                out += c;
                continue;
            }
            static const std::pair<const char*, char> entities[] = {
                {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
            bool known = false;
            for (auto [entity, value] : entities) {
                if (text_.compare(position_, std::strlen(entity), entity) == 0) {
                    out += value;
                    position_ += std::strlen(entity);
                    known = true;
                    break;
                }
            }
            if (!known) error("bare '&'");
        }
        return out;
    }

    xml_element element() {
        expect('<');
        xml_element e;
        e.name = name();
        for (;;) {
            skip_space();
            if (peek() == '/' || peek() == '>') break;
            const std::string key = name();
            expect('=');
            expect('"');
            std::string value = characters('"');
            expect('"');
            if (!e.attributes.emplace(key, value).second) error("attribute " + key + " given twice");
        }
        if (peek() == '/') {
            ++position_;
            expect('>');
            return e;
        }
        expect('>');
        for (;;) {
            e.text += characters('<');
            if (at_end()) error("<" + e.name + "> is not closed");
            if (text_.compare(position_, 2, "</") == 0) {
                position_ += 2;
                if (name() != e.name) error("</...> does not close <" + e.name + ">");
                skip_space();
                expect('>');
                return e;
            }
            e.children.push_back(element());
        }
    }
};

xml_element parse_xml(const std::string& text) { return xml_parser(text).document(); }

/// The group of the root with this id, or nullptr.
const xml_element* layer(const xml_element& svg, const std::string& id) {
    for (const xml_element& child : svg.children) {
        if (child.name == "g" && child.attributes.count("id") && child.attributes.at("id") == id)
            return &child;
    }
    return nullptr;
}

std::vector<std::string> layer_ids(const xml_element& svg) {
    std::vector<std::string> ids;
    for (const xml_element& child : svg.children) {
        if (child.name == "g") ids.push_back(child.attribute("id"));
    }
    return ids;
}

std::size_t count_named(const xml_element& group, const std::string& name) {
    return static_cast<std::size_t>(std::count_if(group.children.begin(), group.children.end(),
                                                  [&name](const xml_element& e) { return e.name == name; }));
}

struct svg_point {
    double x;
    double y;
};

/// The points attribute of a polyline or polygon.
std::vector<svg_point> points_of(const xml_element& e) {
    std::vector<svg_point> points;
    const std::string& text = e.attribute("points");
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t comma = text.find(',', at);
        std::size_t end = text.find(' ', comma);
        if (end == std::string::npos) end = text.size();
        points.push_back(
            {std::stod(text.substr(at, comma - at)), std::stod(text.substr(comma + 1, end - comma - 1))});
        at = end + 1;
    }
    return points;
}

/// Drawn at (x, -z), to the centimetre.
void expect_drawn_at(const svg_point& drawn, double x, double z) {
    EXPECT_NEAR(drawn.x, x, 0.0051);
    EXPECT_NEAR(drawn.y, -z, 0.0051);
}

// ---------------------------------------------------------------------------------------
// The arithmetic of the picture.

TEST(PreviewFormat, NumbersHaveAtMostTwoDecimalsAndNoExponent) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {-0.004, "0"},  // rounds to zero: no "-0"
        {12.5, "12.5"},
        {-3, "-3"},
        {0.25, "0.25"},
        {100.1, "100.1"},
        {1234567.891, "1234567.89"},
        {-21474836.48, "-21474836.48"},  // the road file's lowest centimetre
        {1e-7, "0"},
        {std::numeric_limits<float>::max(), "340282346638528859811704183484516925440"},
    };
    for (const auto& c : cases) {
        std::string text = "<";
        append_number(text, c.value);
        EXPECT_EQ(text, "<"s + c.text) << c.value;
    }
}

TEST(PreviewFormat, EscapesTheCharactersXmlReserves) {
    std::string text;
    append_escaped(text, "a<b & 'c' \"d\" > 005x012");
    EXPECT_EQ(text, "a&lt;b &amp; &apos;c&apos; &quot;d&quot; &gt; 005x012");
}

TEST(PreviewFormat, FrameHoldsTheMapItsLegendAndItsScaleBar) {
    // A map 1000 m wide and 500 m high: a unit is a metre; 24 units of margin, a panel of
    // 400 and a band of 84.
    map_extent wide;
    extend_extent(wide, 0, 500);
    extend_extent(wide, 1000, 0);
    preview_frame f = frame_for(wide);
    EXPECT_EQ(f.unit, 1);
    EXPECT_EQ(f.map_left, 0);
    EXPECT_EQ(f.map_right, 1000);
    EXPECT_EQ(f.map_top, -500);
    EXPECT_EQ(f.map_bottom, 0);
    EXPECT_EQ(f.view_x, -24);
    EXPECT_EQ(f.view_y, -524);
    EXPECT_EQ(f.panel_left, 1024);
    EXPECT_EQ(f.band_top, 24);
    EXPECT_EQ(f.view_width, 24 + 1000 + 24 + 400);
    EXPECT_EQ(f.view_height, 24 + 500 + 24 + 84);

    // One point: the map grows to 100 m each way about it, so a unit is 0.1 m.
    map_extent point;
    extend_extent(point, 10, 20);
    f = frame_for(point);
    EXPECT_EQ(f.map_left, -40);
    EXPECT_EQ(f.map_right, 60);
    EXPECT_EQ(f.map_top, -70);
    EXPECT_EQ(f.map_bottom, 30);
    EXPECT_DOUBLE_EQ(f.unit, 0.1);

    // Nothing drawn: 100 m about the origin.
    f = frame_for(map_extent{});
    EXPECT_EQ(f.map_left, -50);
    EXPECT_EQ(f.map_top, -50);
    EXPECT_EQ(f.map_right, 50);
    EXPECT_EQ(f.map_bottom, 50);
}

TEST(PreviewFormat, ScaleBarIsARoundLength) {
    const struct {
        double longest;
        double length;
    } cases[] = {
        {1000, 1000}, {999, 500},     {2304, 2000}, {4.99, 2},  {7, 5},
        {1.5, 1},     {50000, 50000}, {0.3, 0.2},   {100, 100},
    };
    for (const auto& c : cases) EXPECT_EQ(scale_bar_length(c.longest), c.length) << c.longest;
}

TEST(PreviewFormat, HeightShadesRunFromGreenThroughSandToBrown) {
    EXPECT_EQ(height_shade(0), "#cee6bc");
    EXPECT_EQ(height_shade(0.5), "#ecdeaa");
    EXPECT_EQ(height_shade(1), "#b28c62");
    EXPECT_EQ(height_shade(0.25), "#dde2b3");  // halfway between the first two stops, rounded
    EXPECT_EQ(height_shade(-1), height_shade(0));
    EXPECT_EQ(height_shade(7), height_shade(1));
    EXPECT_EQ(height_shade(std::nan("")), height_shade(0));
}

// A map of one road, worked by hand: the road (10, 20), (30, -40) spans x 10 to 30 and z -40
// to 20, grown to 100 m about its middle (20, -10): x -30 to 70, z -60 to 40, a unit of
// 0.1 m. The view starts 2.4 m left of and above the map and is 2.4 + 100 + 2.4 + 40 m
// wide and 2.4 + 100 + 2.4 + 8.4 m high: 1448 by 1132 units.
TEST(PreviewSvg, OneRoadDrawnWithZUpward) {
    map_layers layers;
    layers.has_roads = true;
    layers.roads = {{{10, 20}, {30, -40}}};
    const xml_element svg = parse_xml(preview_svg_text(layers));

    EXPECT_EQ(svg.name, "svg");
    EXPECT_EQ(svg.attribute("xmlns"), "http://www.w3.org/2000/svg");
    EXPECT_EQ(svg.attribute("viewBox"), "-32.4 -42.4 144.8 113.2");
    EXPECT_EQ(svg.attribute("width"), "1448");
    EXPECT_EQ(svg.attribute("height"), "1132");
    EXPECT_EQ(layer_ids(svg),
              (std::vector<std::string>{"background", "roads", "road-points", "scale-bar", "legend"}));
    const xml_element& road = layer(svg, "roads")->children.at(0);
    EXPECT_EQ(road.attribute("points"), "10,-20 30,40");
    const xml_element* dots = layer(svg, "road-points");
    ASSERT_EQ(dots->children.size(), 2u);
    EXPECT_EQ(dots->children[1].attribute("cx"), "30");
    EXPECT_EQ(dots->children[1].attribute("cy"), "40");
    EXPECT_EQ(dots->children[1].attribute("r"), "0.28");
    // The scale bar: 40 m of the 100 m map rounds down to 20 m, in halves of 10 m.
    const xml_element* bar = layer(svg, "scale-bar");
    EXPECT_EQ(bar->children.at(0).attribute("width"), "10");
    EXPECT_EQ(bar->children.at(4).text, "20 m");
}

TEST(PreviewSvg, SectorsAreShadedFromTheLowestMeanHeightToTheHighest) {
    map_layers layers;
    layers.has_terrain = true;
    layers.sector_rows = 1;
    layers.sector_columns = 3;
    layers.cells = {{0, 0, 0, 0, 100, 100, 50}, {0, 1, 100, 0, 200, 100, 150}, {0, 2, 200, 0, 300, 100, 100}};
    const xml_element svg = parse_xml(preview_svg_text(layers));

    const xml_element* cells = layer(svg, "terrain");
    ASSERT_EQ(cells->children.size(), 3u);
    EXPECT_EQ(cells->children[0].attribute("fill"), height_shade(0));
    EXPECT_EQ(cells->children[1].attribute("fill"), height_shade(1));
    EXPECT_EQ(cells->children[2].attribute("fill"), height_shade(0.5));
    EXPECT_EQ(cells->children[1].attribute("x"), "100");
    EXPECT_EQ(cells->children[1].attribute("y"), "-100");
    EXPECT_EQ(cells->children[1].children.at(0).text, "000x001: mean height 150");
    const xml_element* labels = layer(svg, "sector-labels");
    ASSERT_EQ(labels->children.size(), 3u);
    EXPECT_EQ(labels->children[2].text, "000x002");
}

// ---------------------------------------------------------------------------------------
// The "map.LCOV" reader.

TEST(LandCoverOutlineReader, ReadsTheWorkedExample) {
    // The bend (0, 0), (0, 100), (100, 100) as the road tool writes it.
    const std::string file = le32({1, 10}) + "\x80\x40\0\0"s +
                             le32({6, -500, 0, -500, 10500, 10000, 10500, 10000, 9500, 500, 9500, 500, 0});
    const std::vector<outline_record> outlines =
        decode_land_cover_outline(byte_buffer(file.begin(), file.end()));
    ASSERT_EQ(outlines.size(), 1u);
    EXPECT_EQ(outlines[0].code, 10);
    EXPECT_EQ(std::vector<unsigned char>(outlines[0].bytes, outlines[0].bytes + 4),
              (std::vector<unsigned char>{0x80, 0x40, 0x00, 0x00}));
    const std::vector<std::pair<int, int>> expected{{-500, 0},     {-500, 10500}, {10000, 10500},
                                                    {10000, 9500}, {500, 9500},   {500, 0}};
    ASSERT_EQ(outlines[0].vertices.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(outlines[0].vertices[k].x, expected[k].first);
        EXPECT_EQ(outlines[0].vertices[k].z, expected[k].second);
    }
}

TEST(LandCoverOutlineReader, ReadsBackWhatTheWriterWrites) {
    test::clear_road_table();
    // A bend, a road of one point (no outline) and a road without points.
    const std::vector<std::vector<std::pair<double, double>>> table{
        {{0, 0}, {0, 100}, {100, 100}, {250.55, -30.25}}, {{7, 7}}, {}};
    road_count = static_cast<std::int32_t>(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        roads[i].point_count = static_cast<std::int32_t>(table[i].size());
        roads[i].section_count = roads[i].point_count - 1;
        for (std::size_t j = 0; j < table[i].size(); ++j)
            roads[i].points[j] = {table[i][j].first, table[i][j].second, 0};
    }
    testing::internal::CaptureStdout();
    build_section_quads();
    testing::internal::GetCapturedStdout();

    const byte_buffer bytes = encode_land_cover_outline();
    const std::vector<outline_record> outlines = decode_land_cover_outline(bytes);
    ASSERT_EQ(outlines.size(), 3u);
    const road_record& bend = roads[0];
    // q of each quad, r of the last, s of each quad back to the first, p of the first.
    std::vector<road_point> corners;
    for (int k = 0; k < 3; ++k) corners.push_back(bend.quads[k].q);
    corners.push_back(bend.quads[2].r);
    for (int k = 2; k >= 0; --k) corners.push_back(bend.quads[k].s);
    corners.push_back(bend.quads[0].p);
    ASSERT_EQ(outlines[0].vertices.size(), corners.size());
    for (std::size_t k = 0; k < corners.size(); ++k) {
        EXPECT_EQ(outlines[0].vertices[k].x, static_cast<std::int32_t>(corners[k].x * 100.0));
        EXPECT_EQ(outlines[0].vertices[k].z, static_cast<std::int32_t>(corners[k].z * 100.0));
    }
    for (const outline_record& outline : outlines) {
        EXPECT_EQ(outline.code, outline_code);
        EXPECT_EQ(std::memcmp(outline.bytes, outline_bytes, 4), 0);
    }
    EXPECT_TRUE(outlines[1].vertices.empty());
    EXPECT_TRUE(outlines[2].vertices.empty());
}

// ---------------------------------------------------------------------------------------
// The program end to end.

/// A terrain of one row of two sectors, three points each, written by the shared writers.
terrain_map small_terrain() {
    terrain_map map;
    map.row_length = 2;
    map.row_count = 1;
    map.height_max = 100;
    for (int column = 0; column < 2; ++column) {
        terrain_file_sector sector;
        const std::int16_t left = static_cast<std::int16_t>(100 * column);
        // Bit 15 is a marker: 0x8000 | 30 is height 30.
        sector.points = {
            {10, left, 0}, {20, static_cast<std::int16_t>(left + 100), 0}, {0x8000 | 30, left, 50}};
        sector.polygon_codes = {3};
        sector.vertex_indices = {0, 1, 2};
        sector.type_runs = {1};
        sector.rgb_block_1 = {1, 2, 3};
        map.sectors.push_back(sector);
    }
    return map;
}

void write_bytes(const fs::path& path, const byte_buffer& bytes) { write_file(path, bytes); }

void write_terrain(const fs::path& dir, const terrain_map& map) {
    write_bytes(dir / "default.sec", encode_sector_file(map));
    write_bytes(dir / "terrain.ffp", encode_terrain_file(map));
    write_bytes(dir / "default.rgb", encode_rgb_file(map));
}

/// A folder with every input: two roads, their outlines, a bridge, the network and the
/// small terrain.
void write_every_input(const fs::path& dir) {
    test::make_road_file(dir, {{1, 2, {{0, 0}, {10000, 0}, {10000, 5000}}}, {3, 4, {{-2000, 300}}}});
    write_file(dir / "map.LCOV",
               le32({1, 10}) + "\x80\x40\0\0"s + le32({4, 0, -500, 0, 500, 5000, 500, 5000, -500}));
    write_bytes(dir / "bridge.dat", encode_bridge_file({{40, 0, 0, 60, 0, 0, {}}}));
    write_bytes(dir / "ROADS.NDE", encode_node_position_file({{0, 5, 0}, {100, 5, 50}}));
    write_bytes(dir / "ROADS.WP", encode_path_file({{0, 1, 7, {{0, 5, 0}, {100, 5, 0}, {100, 5, 50}}}}));
    write_terrain(dir, small_terrain());
}

const std::string terrain_console =
    "default.sec opened\nterrain.ffp opened\ndefault.rgb opened\nAllocating memory for terrain data ...\n"
    "Reading terrain data ...\nAllocating memory for rgb data ...\nReading rgb data ...\n"
    "Allocating memory for sectors ...\nMemory for sectors allocated ...\n3d terrain loaded ...\n";

const std::vector<std::string> every_input{"Grand.ROAD",  "ROADS.NDE",   "ROADS.WP", "bridge.dat",
                                           "default.rgb", "default.sec", "map.LCOV", "terrain.ffp"};

std::vector<std::string> with_preview(std::vector<std::string> names) {
    names.push_back("map_preview.svg");
    std::sort(names.begin(), names.end());
    return names;
}

TEST(MapPreviewRun, DrawsEveryLayerOfAFullFolder) {
    test::temp_dir dir;
    write_every_input(dir.path);

    const test::run_result run = run_program(map_preview, dir.path);

    ASSERT_EQ(run.exit_code, 0) << run.out;
    EXPECT_EQ(run.out,
              "Grand.ROAD opened\nmap.LCOV opened\nbridge.dat opened\nROADS.NDE opened\nROADS.WP opened\n" +
                  terrain_console + "map_preview.svg opened\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(file_names(dir.path), with_preview(every_input));

    const xml_element svg = parse_xml(read_file(dir.path / "map_preview.svg"));
    EXPECT_EQ(layer_ids(svg),
              (std::vector<std::string>{"background", "terrain", "sector-labels", "outlines", "roads",
                                        "road-points", "paths", "nodes", "bridges", "scale-bar", "legend"}));
    const xml_element* roads_drawn = layer(svg, "roads");
    ASSERT_EQ(roads_drawn->children.size(), 2u);
    EXPECT_EQ(roads_drawn->children[0].attribute("points"), "0,0 100,0 100,-50");
    EXPECT_EQ(roads_drawn->children[1].attribute("points"), "-20,-3");
    EXPECT_EQ(layer(svg, "road-points")->children.size(), 4u);
    EXPECT_EQ(layer(svg, "outlines")->children.at(0).attribute("points"), "0,5 0,-5 50,-5 50,5");
    const xml_element& bridge = layer(svg, "bridges")->children.at(0);
    EXPECT_EQ(bridge.attribute("x1") + " " + bridge.attribute("y1") + " " + bridge.attribute("x2") + " " +
                  bridge.attribute("y2"),
              "40 0 60 0");
    EXPECT_EQ(layer(svg, "paths")->children.at(0).attribute("points"), "0,0 100,0 100,-50");
    EXPECT_EQ(layer(svg, "nodes")->children.at(1).attribute("cy"), "-50");
    // Sector (0, 1) spans x 100 to 200, z 0 to 50; its heights 10, 20 and 30 (the marker
    // bit masked off) have the mean 20.
    const xml_element& cell = layer(svg, "terrain")->children.at(1);
    EXPECT_EQ(cell.attribute("x"), "100");
    EXPECT_EQ(cell.attribute("y"), "-50");
    EXPECT_EQ(cell.attribute("width"), "100");
    EXPECT_EQ(cell.attribute("height"), "50");
    EXPECT_EQ(cell.children.at(0).text, "000x001: mean height 20");
}

TEST(MapPreviewRun, DrawsTheLayersWhoseFilesArePresent) {
    const struct {
        std::vector<std::string> files;
        std::string console;
        std::vector<std::string> layers;
    } cases[] = {
        {{"Grand.ROAD"},
         "Grand.ROAD opened\nmap.LCOV absent\nbridge.dat absent\nROADS.NDE absent\nROADS.WP absent\n"
         "default.sec absent\nterrain.ffp absent\ndefault.rgb absent\n",
         {"roads", "road-points"}},
        {{"bridge.dat", "ROADS.WP", "default.sec", "default.rgb"},
         "Grand.ROAD absent\nmap.LCOV absent\nbridge.dat opened\nROADS.NDE absent\nROADS.WP opened\n"
         "default.sec not read: the terrain needs default.sec, terrain.ffp and default.rgb\n"
         "terrain.ffp absent\n"
         "default.rgb not read: the terrain needs default.sec, terrain.ffp and default.rgb\n",
         {"paths", "bridges"}},
        {{"map.LCOV", "ROADS.NDE", "default.sec", "terrain.ffp", "default.rgb"},
         "Grand.ROAD absent\nmap.LCOV opened\nbridge.dat absent\nROADS.NDE opened\nROADS.WP absent\n" +
             terrain_console,
         {"terrain", "sector-labels", "outlines", "nodes"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.console);
        test::temp_dir all, dir;
        write_every_input(all.path);
        for (const std::string& name : c.files) fs::copy_file(all.path / name, dir.path / name);

        const test::run_result run = run_program(map_preview, dir.path);

        ASSERT_EQ(run.exit_code, 0) << run.out;
        EXPECT_EQ(run.out, c.console + "map_preview.svg opened\n");
        EXPECT_EQ(file_names(dir.path), with_preview(c.files));
        std::vector<std::string> layers{"background"};
        layers.insert(layers.end(), c.layers.begin(), c.layers.end());
        layers.insert(layers.end(), {"scale-bar", "legend"});
        EXPECT_EQ(layer_ids(parse_xml(read_file(dir.path / "map_preview.svg"))), layers);
    }
}

TEST(MapPreviewRun, NothingToDrawAndArgumentsAreRefused) {
    test::temp_dir dir;
    write_terrain(dir.path, small_terrain());
    fs::remove(dir.path / "terrain.ffp");
    test::run_result run = run_program(map_preview, dir.path);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.out.ends_with(
        "terrain.ffp absent\n"
        "default.rgb not read: the terrain needs default.sec, terrain.ffp and default.rgb\n"
        "nothing to draw: none of Grand.ROAD, map.LCOV, bridge.dat, ROADS.NDE, ROADS.WP is here, nor all of "
        "default.sec, terrain.ffp and default.rgb\n"))
        << run.out;
    EXPECT_EQ(file_names(dir.path), (std::vector<std::string>{"default.rgb", "default.sec"}));

    write_every_input(dir.path);
    run = run_program(map_preview, dir.path, {.arguments = {"x"}});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, "usage: map_preview (run in a map folder; no arguments)\n");
    EXPECT_EQ(file_names(dir.path), every_input);
}

/// Overwrites the little-endian int32 at `offset`.
void patch_i32(byte_buffer& bytes, std::size_t offset, std::int32_t value) {
    for (int k = 0; k < 4; ++k)
        bytes[offset + k] = static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * k));
}

// A faulty file ends the run with the message of the tool that owns its format, and the
// picture of an earlier run stays as it was, with no temporary file beside it.
TEST(MapPreviewRun, RefusesFaultyInputsAndKeepsTheOldPicture) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const byte_buffer sector_file = encode_sector_file(small_terrain());
    const std::size_t terrain_size = encode_terrain_file(small_terrain()).size();
    byte_buffer heights_past_end = sector_file;
    patch_i32(heights_past_end, 16 + 48 + 16, static_cast<std::int32_t>(terrain_size - 2));
    const byte_buffer header_only(sector_file.begin(), sector_file.begin() + 16);

    // What the run prints before the message: the files before the faulty one, and of the
    // terrain loader's lines those before the fault.
    const std::string roads_to_paths =
        "Grand.ROAD opened\nmap.LCOV opened\nbridge.dat opened\nROADS.NDE opened\nROADS.WP opened\n";
    auto opened_up_to = [&roads_to_paths](const std::string& name) {
        return roads_to_paths.substr(0, roads_to_paths.find(name + " opened\n") + name.size() + 8);
    };
    const std::string terrain_opened = "default.sec opened\nterrain.ffp opened\ndefault.rgb opened\n";
    const std::string terrain_mapped =
        terrain_console.substr(0, terrain_console.find("Allocating memory for sectors"));

    const struct {
        std::string name;
        byte_buffer bytes;
        std::string before;
        std::string message;
    } cases[] = {
        {"Grand.ROAD", {1, 0, 0, 0, 0}, opened_up_to("Grand.ROAD"), "Grand.ROAD: file ends inside road 0"},
        {"map.LCOV", {1, 2}, opened_up_to("map.LCOV"), "map.LCOV: file ends before the road count"},
        {"map.LCOV", {255, 255, 255, 255}, opened_up_to("map.LCOV"), "map.LCOV: road count -1 is negative"},
        {"map.LCOV",
         {2, 0, 0, 0, 10, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0, 0, 0},
         opened_up_to("map.LCOV"),
         "map.LCOV: file too short for 2 outlines"},
        {"map.LCOV",
         {1, 0, 0, 0, 10, 0, 0, 0, 0x80, 0x40, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0},
         opened_up_to("map.LCOV"),
         "map.LCOV: file ends inside outline 0"},
        {"map.LCOV",
         {1, 0, 0, 0, 10, 0, 0, 0, 0x80, 0x40, 0, 0, 255, 255, 255, 255},
         opened_up_to("map.LCOV"),
         "map.LCOV: outline 0 has a negative vertex count (-1)"},
        {"bridge.dat", encode_bridge_file({{1, 0, nan, 2, 0, 2, {}}}), opened_up_to("bridge.dat"),
         "bridge.dat: bridge 0 has an end that is not a finite number"},
        {"ROADS.NDE",
         {254, 255, 255, 255},
         opened_up_to("ROADS.NDE"),
         "ROADS.NDE: number of nodes -2 is negative"},
        {"ROADS.WP", {1, 0, 0, 0}, opened_up_to("ROADS.WP"), "ROADS.WP: file too short for 1 paths"},
        {"default.sec", header_only, roads_to_paths + terrain_mapped,
         "default.sec: file ends before the record of sector row 0, column 0 is complete"},
        {"default.sec", heights_past_end, roads_to_paths + terrain_console,
         "terrain.ffp: the heights of sector row 0, column 1 (6 bytes at offset " +
             std::to_string(terrain_size - 2) + ") run past the end of the file"},
        {"terrain.ffp",
         {},
         roads_to_paths + terrain_opened + "Allocating memory for terrain data ...\n",
         "No memory for terrain data ..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        test::temp_dir dir;
        write_every_input(dir.path);
        write_bytes(dir.path / c.name, c.bytes);
        write_file(dir.path / "map_preview.svg", "an earlier picture");

        const test::run_result run = run_program(map_preview, dir.path);

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, c.before + c.message + "\n");
        EXPECT_EQ(read_file(dir.path / "map_preview.svg"), "an earlier picture");
        EXPECT_EQ(file_names(dir.path), with_preview(every_input));
    }
}

// Every cut of a "map.LCOV" short of its end is refused.
TEST(MapPreviewRun, RefusesEveryTruncatedOutlineFile) {
    const std::string full =
        le32({2, 10}) + "\x80\x40\0\0"s + le32({2, 100, 200, 300, 400, 10}) + "\x80\x40\0\0"s + le32({0});
    test::temp_dir dir;
    for (std::size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        write_file(dir.path / "map.LCOV", full.substr(0, size));
        const test::run_result run = run_program(map_preview, dir.path);
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_NE(run.out.find("map.LCOV opened\nmap.LCOV: "), std::string::npos) << run.out;
    }
    write_file(dir.path / "map.LCOV", full);
    EXPECT_EQ(run_program(map_preview, dir.path).exit_code, 0);
}

// The network's readers take any float as a node position; one that is not a number has no
// place in the picture and is left out, and said so.
TEST(MapPreviewRun, LeavesOutNetworkPointsThatAreNotFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    test::temp_dir dir;
    write_bytes(dir.path / "ROADS.NDE",
                encode_node_position_file({{1, 0, 2}, {nan, 0, 0}, {3, 0, infinity}}));
    write_bytes(dir.path / "ROADS.WP", encode_path_file({{0, 1, 0, {{nan, 0, 1}}}, {0, 1, 0, {{5, 0, 6}}}}));

    const test::run_result run = run_program(map_preview, dir.path);

    ASSERT_EQ(run.exit_code, 0) << run.out;
    EXPECT_NE(run.out.find("ROADS.NDE opened\nROADS.NDE: node positions left out, not finite: 2\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("ROADS.WP opened\nROADS.WP: path points left out, not finite: 1\n"),
              std::string::npos)
        << run.out;
    const xml_element svg = parse_xml(read_file(dir.path / "map_preview.svg"));
    ASSERT_EQ(layer(svg, "nodes")->children.size(), 1u);
    EXPECT_EQ(layer(svg, "nodes")->children[0].attribute("cx"), "1");
    const xml_element* paths = layer(svg, "paths");
    ASSERT_EQ(paths->children.size(), 2u);
    EXPECT_EQ(paths->children[0].attribute("points"), "");
    EXPECT_EQ(paths->children[1].attribute("points"), "5,-6");
}

// ---------------------------------------------------------------------------------------
// The sample map's preview.

/// Writes the sample map into `dir`, runs road_outline there for its "map.LCOV" and then
/// map_preview.
void make_sample_preview(const fs::path& dir) {
    test::run_result run = run_program(SAMPLE_MAP_PATH, dir, {.arguments = {dir.string()}});
    ASSERT_EQ(run.exit_code, 0) << run.out;
    run = run_program(ROAD_OUTLINE_PATH, dir);
    ASSERT_EQ(run.exit_code, 0) << run.out;
    run = run_program(map_preview, dir);
    ASSERT_EQ(run.exit_code, 0) << run.out;
    ASSERT_TRUE(run.out.ends_with("3d terrain loaded ...\nmap_preview.svg opened\n")) << run.out;
}

std::int32_t leading_count(const fs::path& file) {
    const std::string bytes = read_file(file);
    return static_cast<std::int32_t>(get_u32_le(reinterpret_cast<const unsigned char*>(bytes.data())));
}

TEST(MapPreviewSample, EveryElementMatchesTheMapFiles) {
    test::temp_dir dir;
    make_sample_preview(dir.path);
    const std::string text = read_file(dir.path / "map_preview.svg");
    const xml_element svg = parse_xml(text);
    const sample_layout layout = make_sample_layout(1);

    // One polyline per road, its points those of the road file, and a dot on each.
    const std::vector<sample_road> roads = sample_roads(layout);
    const xml_element* roads_drawn = layer(svg, "roads");
    ASSERT_NE(roads_drawn, nullptr);
    ASSERT_EQ(count_named(*roads_drawn, "polyline"), roads.size());
    std::size_t road_points = 0;
    for (std::size_t i = 0; i < roads.size(); ++i) {
        const std::vector<svg_point> drawn = points_of(roads_drawn->children[i]);
        ASSERT_EQ(drawn.size(), roads[i].points.size());
        for (std::size_t j = 0; j < drawn.size(); ++j)
            expect_drawn_at(drawn[j], roads[i].points[j].x / 100.0, roads[i].points[j].z / 100.0);
        road_points += drawn.size();
    }
    EXPECT_EQ(count_named(*layer(svg, "road-points"), "circle"), road_points);

    // One polygon per outline record, in centimetres / 100.
    const std::string lcov = read_file(dir.path / "map.LCOV");
    const std::vector<outline_record> outlines =
        decode_land_cover_outline(byte_buffer(lcov.begin(), lcov.end()));
    EXPECT_EQ(outlines.size(), roads.size() + sample_bridge_count);
    const xml_element* outlines_drawn = layer(svg, "outlines");
    ASSERT_EQ(count_named(*outlines_drawn, "polygon"), outlines.size());
    for (std::size_t r = 0; r < outlines.size(); ++r) {
        const std::vector<svg_point> drawn = points_of(outlines_drawn->children[r]);
        ASSERT_EQ(drawn.size(), outlines[r].vertices.size());
        for (std::size_t k = 0; k < drawn.size(); ++k)
            expect_drawn_at(drawn[k], outlines[r].vertices[k].x / 100.0, outlines[r].vertices[k].z / 100.0);
    }

    // One segment per bridge, end1 to end2.
    const std::string bridge_bytes = read_file(dir.path / "bridge.dat");
    test::clear_road_table();
    decode_bridge_file(byte_buffer(bridge_bytes.begin(), bridge_bytes.end()));
    const xml_element* bridges_drawn = layer(svg, "bridges");
    ASSERT_EQ(count_named(*bridges_drawn, "line"), static_cast<std::size_t>(sample_bridge_count));
    for (int k = 0; k < sample_bridge_count; ++k) {
        const xml_element& line = bridges_drawn->children[k];
        expect_drawn_at({line.number("x1"), line.number("y1")}, bridges[k].end1.x, bridges[k].end1.z);
        expect_drawn_at({line.number("x2"), line.number("y2")}, bridges[k].end2.x, bridges[k].end2.z);
    }

    // The network: a dot per node, a polyline per path.
    EXPECT_EQ(count_named(*layer(svg, "nodes"), "circle"),
              static_cast<std::size_t>(leading_count(dir.path / "ROADS.NDE")));
    EXPECT_EQ(count_named(*layer(svg, "paths"), "polyline"),
              static_cast<std::size_t>(leading_count(dir.path / "ROADS.WP")));

    // One cell per sector, spanning its points, row after row, labelled with its name.
    const xml_element* cells = layer(svg, "terrain");
    const xml_element* labels = layer(svg, "sector-labels");
    const std::size_t sectors = static_cast<std::size_t>(layout.grid_side * layout.grid_side);
    ASSERT_EQ(count_named(*cells, "rect"), sectors);
    ASSERT_EQ(count_named(*labels, "text"), sectors);
    for (int row = 0; row < layout.grid_side; ++row) {
        for (int column = 0; column < layout.grid_side; ++column) {
            const terrain_file_sector sector = sample_sector(layout, row, column);
            double min_x = 1e9, min_z = 1e9, max_x = -1e9, max_z = -1e9, heights = 0;
            for (const terrain_file_point& point : sector.points) {
                min_x = std::min<double>(min_x, point.x);
                max_x = std::max<double>(max_x, point.x);
                min_z = std::min<double>(min_z, point.z);
                max_z = std::max<double>(max_z, point.z);
                heights += point.height_word & 0x7FFF;
            }
            const std::size_t index = static_cast<std::size_t>(row * layout.grid_side + column);
            const xml_element& cell = cells->children[index];
            char name_text[32];
            std::snprintf(name_text, sizeof name_text, "%03dx%03d", row, column);
            const std::string name = name_text;
            SCOPED_TRACE(name);
            expect_drawn_at({cell.number("x"), cell.number("y")}, min_x, max_z);
            EXPECT_EQ(cell.number("width"), max_x - min_x);
            EXPECT_EQ(cell.number("height"), max_z - min_z);
            const std::string title = cell.children.at(0).text;
            EXPECT_EQ(title.substr(0, title.rfind(' ') + 1), name + ": mean height ");
            EXPECT_NEAR(std::stod(title.substr(title.rfind(' ') + 1)),
                        heights / static_cast<double>(sector.points.size()), 0.0051);
            EXPECT_EQ(labels->children[index].text, name);
        }
    }

    // The viewBox holds the map: the sample's square of land, x and z from 0 to the extent.
    std::vector<double> view;
    for (std::size_t at = 0, end; at < svg.attribute("viewBox").size(); at = end + 1) {
        end = svg.attribute("viewBox").find(' ', at);
        if (end == std::string::npos) end = svg.attribute("viewBox").size();
        view.push_back(std::stod(svg.attribute("viewBox").substr(at, end - at)));
    }
    ASSERT_EQ(view.size(), 4u);
    EXPECT_LT(view[0], 0);
    EXPECT_LT(view[1], -layout.extent);
    EXPECT_GT(view[0] + view[2], layout.extent);
    EXPECT_GT(view[1] + view[3], 0);
}

/// The path of `program` on PATH, or "" when it is not installed.
std::string find_program(const std::string& program) {
#if defined(_WIN32)
    (void)program;
    return "";
#else
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t at = 0, end; at <= directories.size(); at = end + 1) {
        end = directories.find(':', at);
        if (end == std::string::npos) end = directories.size();
        const fs::path candidate = fs::path(directories.substr(at, end - at)) / program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return "";
#endif
}

TEST(MapPreviewSample, XmllintFindsItWellFormed) {
    const std::string xmllint = find_program("xmllint");
    if (xmllint.empty()) GTEST_SKIP() << "xmllint is not installed (package libxml2-utils)";
    test::temp_dir dir;
    make_sample_preview(dir.path);
    const test::run_result run =
        run_program(xmllint, dir.path, {.arguments = {"--noout", "map_preview.svg"}});
    EXPECT_EQ(run.exit_code, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
}

// ---------------------------------------------------------------------------------------
// A PNG decoder, enough for what rsvg-convert writes: 8-bit RGB or RGBA, not interlaced,
// its zlib stream inflated by a small decoder of the three block types.

class inflater {
   public:
    explicit inflater(const std::string& data) : data_(data) {}

    std::string run() {
        std::string out;
        for (bool last = false; !last;) {
            last = bits(1) == 1;
            switch (bits(2)) {
                case 0:
                    stored(out);
                    break;
                case 1:
                    fixed(out);
                    break;
                case 2:
                    dynamic(out);
                    break;
                default:
                    throw std::runtime_error("inflate: bad block type");
            }
        }
        return out;
    }

   private:
    struct huffman {
        std::vector<int> count = std::vector<int>(16);
        std::vector<int> symbol;
    };

    const std::string& data_;
    std::size_t position_ = 0;
    std::uint32_t buffer_ = 0;
    int buffered_ = 0;

    int bits(int need) {
        while (buffered_ < need) {
            if (position_ >= data_.size()) throw std::runtime_error("inflate: data ends early");
            buffer_ |= static_cast<std::uint32_t>(static_cast<unsigned char>(data_[position_++]))
                       << buffered_;
            buffered_ += 8;
        }
        const int value = static_cast<int>(buffer_ & ((1u << need) - 1));
        buffer_ >>= need;
        buffered_ -= need;
        return value;
    }

    static huffman build(const std::vector<int>& lengths) {
        huffman h;
        for (int length : lengths) ++h.count[length];
        h.count[0] = 0;
        std::vector<int> offsets(16);
        for (int length = 1; length < 15; ++length) offsets[length + 1] = offsets[length] + h.count[length];
        h.symbol.resize(lengths.size());
        for (std::size_t s = 0; s < lengths.size(); ++s) {
            if (lengths[s] != 0) h.symbol[offsets[lengths[s]]++] = static_cast<int>(s);
        }
        return h;
    }

    int decode(const huffman& h) {
        int code = 0, first = 0, index = 0;
        for (int length = 1; length < 16; ++length) {
            code |= bits(1);
            const int count = h.count[length];
            if (code - count < first) return h.symbol[index + (code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        throw std::runtime_error("inflate: bad code");
    }

    void stored(std::string& out) {
        buffer_ = 0;
        buffered_ = 0;
        if (position_ + 4 > data_.size()) throw std::runtime_error("inflate: stored block cut short");
        const std::size_t length = static_cast<unsigned char>(data_[position_]) |
                                   static_cast<std::size_t>(static_cast<unsigned char>(data_[position_ + 1]))
                                       << 8;
        position_ += 4;
        if (position_ + length > data_.size()) throw std::runtime_error("inflate: stored block cut short");
        out.append(data_, position_, length);
        position_ += length;
    }

    void codes(std::string& out, const huffman& lengths, const huffman& distances) {
        static const int length_base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int length_extra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static const int distance_base[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                            33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                            1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static const int distance_extra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        for (;;) {
            int symbol = decode(lengths);
            if (symbol < 256) {
                out += static_cast<char>(symbol);
                continue;
            }
            if (symbol == 256) return;
            symbol -= 257;
            if (symbol >= 29) throw std::runtime_error("inflate: bad length");
            const int length = length_base[symbol] + bits(length_extra[symbol]);
            const int d = decode(distances);
            if (d >= 30) throw std::runtime_error("inflate: bad distance");
            const std::size_t distance = static_cast<std::size_t>(distance_base[d] + bits(distance_extra[d]));
            if (distance > out.size()) throw std::runtime_error("inflate: distance too far back");
            for (int k = 0; k < length; ++k) out += out[out.size() - distance];
        }
    }

    void fixed(std::string& out) {
        std::vector<int> lengths(288);
        for (int s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        codes(out, build(lengths), build(std::vector<int>(30, 5)));
    }

    void dynamic(std::string& out) {
        const int literal_count = bits(5) + 257;
        const int distance_count = bits(5) + 1;
        const int code_count = bits(4) + 4;
        static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        std::vector<int> code_lengths(19);
        for (int k = 0; k < code_count; ++k) code_lengths[order[k]] = bits(3);
        const huffman code_huffman = build(code_lengths);
        std::vector<int> lengths;
        while (static_cast<int>(lengths.size()) < literal_count + distance_count) {
            const int symbol = decode(code_huffman);
            if (symbol < 16) {
                lengths.push_back(symbol);
                continue;
            }
            int repeat = 0, value = 0;
            if (symbol == 16) {
                if (lengths.empty()) throw std::runtime_error("inflate: repeat of nothing");
                value = lengths.back();
                repeat = 3 + bits(2);
            } else if (symbol == 17) {
                repeat = 3 + bits(3);
            } else {
                repeat = 11 + bits(7);
            }
            lengths.insert(lengths.end(), static_cast<std::size_t>(repeat), value);
        }
        codes(out, build(std::vector<int>(lengths.begin(), lengths.begin() + literal_count)),
              build(std::vector<int>(lengths.begin() + literal_count, lengths.end())));
    }
};

struct png_image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBBAA
};

std::uint32_t get_u32_be(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<unsigned char>(bytes[at + 3]);
}

png_image decode_png(const std::string& file) {
    if (file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) throw std::runtime_error("not a PNG");
    png_image image;
    int colour_type = -1;
    std::string compressed;
    for (std::size_t at = 8; at + 8 <= file.size();) {
        const std::uint32_t length = get_u32_be(file, at);
        const std::string type = file.substr(at + 4, 4);
        const std::size_t data = at + 8;
        if (data + length > file.size()) throw std::runtime_error("PNG chunk cut short");
        if (type == "IHDR") {
            image.width = get_u32_be(file, data);
            image.height = get_u32_be(file, data + 4);
            if (file[data + 8] != 8 || file[data + 12] != 0)
                throw std::runtime_error("not an 8-bit flat PNG");
            colour_type = file[data + 9];
        } else if (type == "IDAT") {
            compressed += file.substr(data, length);
        } else if (type == "IEND") {
            break;
        }
        at = data + length + 4;
    }
    if (colour_type != 2 && colour_type != 6) throw std::runtime_error("not an RGB or RGBA PNG");
    const std::size_t channels = colour_type == 6 ? 4 : 3;
    const std::string raw = inflater(compressed.substr(2)).run();
    const std::size_t stride = image.width * channels;
    if (raw.size() < image.height * (stride + 1)) throw std::runtime_error("PNG data too short");
    std::vector<unsigned char> previous(stride), row(stride);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const std::size_t start = y * (stride + 1);
        const int filter = static_cast<unsigned char>(raw[start]);
        for (std::size_t i = 0; i < stride; ++i) {
            const int x = static_cast<unsigned char>(raw[start + 1 + i]);
            const int a = i >= channels ? row[i - channels] : 0;
            const int b = previous[i];
            const int c = i >= channels ? previous[i - channels] : 0;
            int predicted = 0;
            switch (filter) {
                case 0:
                    predicted = 0;
                    break;
                case 1:
                    predicted = a;
                    break;
                case 2:
                    predicted = b;
                    break;
                case 3:
                    predicted = (a + b) / 2;
                    break;
                case 4: {
                    const int p = a + b - c;
                    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                    break;
                }
                default:
                    throw std::runtime_error("bad PNG filter");
            }
            row[i] = static_cast<unsigned char>(x + predicted);
        }
        for (std::size_t p = 0; p < image.width; ++p) {
            const unsigned char* px = &row[p * channels];
            image.pixels.push_back(std::uint32_t{px[0]} << 24 | std::uint32_t{px[1]} << 16 |
                                   std::uint32_t{px[2]} << 8 | (channels == 4 ? px[3] : 255u));
        }
        previous = row;
    }
    return image;
}

// A real SVG renderer draws the preview: the picture is produced, has the size the SVG
// asks for, and is not blank: the white ground, the terrain's shades and the bridges' blue
// are all there, among many colours.
TEST(MapPreviewRendering, SamplePreviewRendersToPng) {
    const std::string rsvg_convert = find_program("rsvg-convert");
    if (rsvg_convert.empty()) GTEST_SKIP() << "rsvg-convert is not installed (package librsvg2-bin)";
    test::temp_dir dir;
    make_sample_preview(dir.path);
    const test::run_result run =
        run_program(rsvg_convert, dir.path, {.arguments = {"map_preview.svg", "-o", "map_preview.png"}});
    ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");

    const png_image image = decode_png(read_file(dir.path / "map_preview.png"));
    const xml_element svg = parse_xml(read_file(dir.path / "map_preview.svg"));
    EXPECT_EQ(image.width, static_cast<std::uint32_t>(svg.number("width")));
    EXPECT_EQ(image.height, static_cast<std::uint32_t>(svg.number("height")));
    ASSERT_EQ(image.pixels.size(), std::size_t{image.width} * image.height);
    const std::set<std::uint32_t> colours(image.pixels.begin(), image.pixels.end());
    EXPECT_GT(colours.size(), 1u);
    EXPECT_GT(colours.size(), 50u);
    EXPECT_TRUE(colours.count(0xffffffffu));  // the ground around the map
    EXPECT_TRUE(colours.count(0x1d4ed8ffu));  // the bridges
    EXPECT_TRUE(colours.count(0xb28c62ffu));  // the highest sector
    EXPECT_TRUE(colours.count(0xcee6bcffu));  // the lowest
}

}  // namespace
