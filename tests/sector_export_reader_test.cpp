// An exported sector read back by third-party software: OpenSceneGraph's osgconv converts
// the object, with its optimizer off, to a text scene, and every triangle, its positions and
// its surface colour, and the number of points the reader logs, are compared with what the
// sector holds. Skipped where osgconv is not installed.
//
// The reader takes +Y as up and turns the object into its own z-up frame by exchanging y
// and z, reverses the vertex order of each triangle, and makes one geometry per surface
// used, in ascending surface order, three vertices per triangle, coloured from COLR.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "sector_export_fixtures.hpp"

namespace {

namespace fs = std::filesystem;

std::string find_program(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream directories(path != nullptr ? path : "");
    std::string directory;
    while (std::getline(directories, directory, ':')) {
        if (directory.empty()) continue;
        fs::path candidate = fs::path(directory) / name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return "";
}

using position = std::array<double, 3>;

struct scene_geometry {
    bool triangles_only = true;
    int drawn_vertices = 0;  // the sum of the Count of its primitive sets
    std::vector<position> vertices;
    std::vector<double> colour;
};

/// The geometries of an .osgt scene, in order: their primitive sets, vertices and colour.
std::vector<scene_geometry> read_scene(const std::string& text) {
    std::vector<scene_geometry> geometries;
    std::istringstream in(text);
    std::string token;
    std::string array_kind;
    while (in >> token) {
        if (token == "osg::Geometry") {
            geometries.emplace_back();
        } else if (geometries.empty()) {
            continue;
        } else if (token == "Mode") {
            in >> token;
            if (token != "TRIANGLES") geometries.back().triangles_only = false;
        } else if (token == "Count") {
            int count = 0;
            in >> count;
            geometries.back().drawn_vertices += count;
        } else if (token.ends_with("Array") && !token.starts_with("osg::")) {
            // VertexArray, NormalArray, ColorArray, ...: the next vector is its values.
            array_kind = token;
        } else if (token == "vector") {
            std::size_t count = 0;
            in >> count >> token;  // the opening brace
            const std::size_t width = array_kind == "ColorArray" ? 4 : 3;
            std::vector<double> values(count * width);
            for (double& value : values) in >> value;
            if (array_kind == "VertexArray") {
                for (std::size_t i = 0; i < count; ++i) {
                    geometries.back().vertices.push_back(
                        {values[3 * i], values[3 * i + 1], values[3 * i + 2]});
                }
            } else if (array_kind == "ColorArray") {
                geometries.back().colour = values;
            }
        }
    }
    return geometries;
}

constexpr int columns = 20;
constexpr int rows = 15;

int point_number(int row, int column) { return row * columns + column; }

/// A sector of 300 points on a 20 x 15 grid, with strips along the first ten rows of cells,
/// fans over the cells of the next four, a few polygons too small to give a triangle, and
/// type runs of several strip and fan types.
terrain_file_sector grid_sector() {
    terrain_file_sector sector;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            std::uint16_t height = static_cast<std::uint16_t>((row * 397 + column * 1153) % 32768);
            if ((row + column) % 7 == 0) height |= 0x8000;
            sector.points.push_back({height, static_cast<std::int16_t>(column * 250 - 2000),
                                     static_cast<std::int16_t>(row * -180 + 1000)});
        }
    }
    const std::uint8_t strip_types[] = {1, 3, 4, 8, 25, 43};
    const std::uint8_t fan_types[] = {2, 9, 16, 24, 46};
    sector.type_runs.push_back(29);  // run 0, strip
    for (int row = 0; row < 10; ++row) {
        // Rows 0 and 1 stay in run 0; every later row opens a run.
        sector.polygon_codes.push_back(static_cast<std::uint8_t>((row >= 2 ? 0x80 : 0) | 2 * columns));
        if (row >= 2) sector.type_runs.push_back(strip_types[row % 6]);
        for (int column = 0; column < columns; ++column) {
            sector.vertex_indices.push_back(static_cast<std::uint16_t>(point_number(row, column)));
            sector.vertex_indices.push_back(static_cast<std::uint16_t>(point_number(row + 1, column)));
        }
        if (row == 4) {
            // Nothing to draw, yet its entries are stepped over.
            sector.polygon_codes.push_back(2);
            sector.vertex_indices.insert(sector.vertex_indices.end(), {299, 298});
        }
    }
    for (int row = 10; row < 14; ++row) {
        for (int column = 0; column + 1 < columns; ++column) {
            bool new_run = column % 5 == 0;
            sector.polygon_codes.push_back(static_cast<std::uint8_t>((new_run ? 0x80 : 0) | 4));
            if (new_run) sector.type_runs.push_back(fan_types[(row + column) % 5]);
            sector.vertex_indices.insert(sector.vertex_indices.end(),
                                         {static_cast<std::uint16_t>(point_number(row, column)),
                                          static_cast<std::uint16_t>(point_number(row, column + 1)),
                                          static_cast<std::uint16_t>(point_number(row + 1, column + 1)),
                                          static_cast<std::uint16_t>(point_number(row + 1, column))});
        }
    }
    sector.polygon_codes.push_back(0x80);
    sector.type_runs.push_back(0);
    return sector;
}

/// The triangles of `sector` per surface, cut by the fan and strip rules.
std::map<int, std::vector<std::array<int, 3>>> triangles_by_surface(const terrain_file_sector& sector) {
    std::map<int, std::vector<std::array<int, 3>>> surfaces;
    std::size_t run = 0;
    std::size_t entry = 0;
    for (std::uint8_t code : sector.polygon_codes) {
        if (code & 0x80) ++run;
        const int type = sector.type_runs.at(run);
        const int n = code & 0x7F;
        auto v = [&](int j) { return static_cast<int>(sector.vertex_indices.at(entry + j)); };
        for (int i = 0; i + 2 < n; ++i) {
            if (sector_test::type_table[type].is_strip == 0) {
                surfaces[type].push_back({v(0), v(i + 1), v(i + 2)});
            } else if (i % 2 == 0) {
                surfaces[type].push_back({v(i), v(i + 1), v(i + 2)});
            } else {
                surfaces[type].push_back({v(i), v(i + 2), v(i + 1)});
            }
        }
        entry += n;
    }
    return surfaces;
}

TEST(SectorExportReader, OsgconvReadsTheObject) {
    const std::string osgconv = find_program("osgconv");
    if (osgconv.empty()) GTEST_SKIP() << "osgconv is not installed";

    const terrain_file_sector sector = grid_sector();
    test::temp_dir dir;
    sector_test::write_terrain(dir.path, sector_test::single_sector_map(sector));
    ASSERT_EQ(sector_test::run_export(dir.path, {"0", "0"}).exit_code, 0);

    setenv("OSG_OPTIMIZER", "OFF", 1);
    setenv("OSG_NOTIFY_LEVEL", "INFO", 1);
    test::run_result run =
        test::run_program(osgconv, dir.path, {.arguments = {"000x000.lwo", "sector.osgt"}});
    ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("\nvertices 300\n"), std::string::npos) << run.out;

    const std::map<int, std::vector<std::array<int, 3>>> expected = triangles_by_surface(sector);
    const std::vector<scene_geometry> scene = read_scene(test::read_file(dir.path / "sector.osgt"));
    ASSERT_EQ(scene.size(), expected.size());
    std::size_t total = 0;
    auto geometry = scene.begin();
    for (const auto& [surface, triangles] : expected) {
        SCOPED_TRACE(surface);
        total += triangles.size();
        EXPECT_TRUE(geometry->triangles_only);
        EXPECT_EQ(geometry->drawn_vertices, static_cast<int>(3 * triangles.size()));
        ASSERT_EQ(geometry->vertices.size(), 3 * triangles.size());
        for (std::size_t t = 0; t < triangles.size(); ++t) {
            for (int corner = 0; corner < 3; ++corner) {
                // Back to the object's frame: the order reversed, y and z exchanged.
                const position& read = geometry->vertices[3 * t + 2 - corner];
                const terrain_file_point& point = sector.points[triangles[t][corner]];
                const position written{double(point.x), double(point.height_word & 0x7FFF), double(point.z)};
                ASSERT_EQ((position{read[0], read[2], read[1]}), written)
                    << "triangle " << t << " corner " << corner;
            }
        }
        const sector_test::type_row& type = sector_test::type_table[surface];
        ASSERT_EQ(geometry->colour.size(), 4u);
        EXPECT_NEAR(geometry->colour[0], type.red / 255.0, 1e-5);
        EXPECT_NEAR(geometry->colour[1], type.green / 255.0, 1e-5);
        EXPECT_NEAR(geometry->colour[2], type.blue / 255.0, 1e-5);
        ++geometry;
    }
    // Ten strips of 38 triangles and 76 cells of two.
    EXPECT_EQ(total, 10u * 38 + 76 * 2);
}

}  // namespace
