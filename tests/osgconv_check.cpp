#include "osgconv_check.hpp"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "sector_export_fixtures.hpp"

namespace sector_test {

namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)

// osgconv is a program of the build machine: a Windows build, run under wine, finds none.
std::string find_program(const std::string&) { return ""; }

void set_environment(const char* name, const char* value) { _putenv_s(name, value); }

#else

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

void set_environment(const char* name, const char* value) { setenv(name, value, 1); }

#endif

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
            if (type_table[type].is_strip == 0) {
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

}  // namespace

std::string find_osgconv() { return find_program("osgconv"); }

void expect_osgconv_reads(const std::string& osgconv, const fs::path& dir, const std::string& object_name,
                          const terrain_file_sector& sector, std::size_t& total) {
    set_environment("OSG_OPTIMIZER", "OFF");
    set_environment("OSG_NOTIFY_LEVEL", "INFO");
    test::run_result run = test::run_program(osgconv, dir, {.arguments = {object_name, "sector.osgt"}});
    ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("\nvertices " + std::to_string(sector.points.size()) + "\n"), std::string::npos)
        << run.out;

    const std::map<int, std::vector<std::array<int, 3>>> expected = triangles_by_surface(sector);
    const std::vector<scene_geometry> scene = read_scene(test::read_file(dir / "sector.osgt"));
    ASSERT_EQ(scene.size(), expected.size());
    total = 0;
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
        const sector_test::type_row& type = type_table[surface];
        ASSERT_EQ(geometry->colour.size(), 4u);
        EXPECT_NEAR(geometry->colour[0], type.red / 255.0, 1e-5);
        EXPECT_NEAR(geometry->colour[1], type.green / 255.0, 1e-5);
        EXPECT_NEAR(geometry->colour[2], type.blue / 255.0, 1e-5);
        ++geometry;
    }
}

}  // namespace sector_test
