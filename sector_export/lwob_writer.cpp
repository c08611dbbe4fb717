#include "lwob_writer.hpp"

#include <cstdio>
#include <cstring>

#include "fail.hpp"
#include "file_io.hpp"
#include "terrain_types.hpp"

namespace {

/// Surfaces 1 to 61, one per terrain type but type 0.
constexpr std::uint32_t surface_count = terrain_type_count - 1;
constexpr std::uint32_t surface_name_size = 8;
constexpr std::uint32_t surface_chunk_size = 26;
constexpr std::uint32_t point_size = 12;
constexpr std::uint32_t triangle_size = 10;
// "LWOB", the SRFS chunk, the PNTS and POLS headers and the surface chunks: what the form
// holds besides the points and triangles.
constexpr std::uint32_t form_fixed_size =
    4 + (8 + surface_count * surface_name_size) + 8 + 8 + surface_count * (8 + surface_chunk_size);
static_assert(form_fixed_size == 2590);

constexpr unsigned new_run_bit = 0x80;
constexpr unsigned vertex_count_bits = 0x7F;
constexpr unsigned height_bits = 0x7FFF;

void put_id(byte_buffer& out, const char* id) { out.insert(out.end(), id, id + 4); }

void put_surface_name(byte_buffer& out, std::uint32_t surface) {
    char name[surface_name_size + 1];
    std::snprintf(name, sizeof name, "%07u", static_cast<unsigned>(surface));
    // Seven digits and the terminating zero.
    out.insert(out.end(), name, name + surface_name_size);
}

/// Point numbers are bytes in a sector of up to 256 points, 16-bit words above.
std::size_t vertex_entry_size(const terrain_sector& sector) { return sector.number_of_points <= 256 ? 1 : 2; }

unsigned vertex_entry(const terrain_sector& sector, std::size_t entry) {
    if (vertex_entry_size(sector) == 1) return sector.vertex_indices[entry];
    return get_u16_le(sector.vertex_indices + 2 * entry);
}

/// One polygon as the walk over the codes finds it.
struct polygon_step {
    int polygon;
    unsigned vertex_count;
    std::size_t type_position;  // entry of type_runs
    std::size_t first_entry;    // entry of vertex_indices
};

/// Visits every polygon in order, keeping the two cursors: the type position moves one
/// entry on at each code with bit 7 set, before that polygon takes its type, and the vertex
/// lists are stepped over whether or not a polygon gives triangles.
template <typename visit_function>
void walk_polygons(const terrain_sector& sector, visit_function visit) {
    polygon_step step{0, 0, 0, 0};
    for (int k = 0; k < sector.number_of_polygons; ++k) {
        unsigned code = sector.polygon_codes[k];
        if ((code & new_run_bit) != 0) ++step.type_position;
        step.polygon = k;
        step.vertex_count = code & vertex_count_bits;
        visit(step);
        step.first_entry += step.vertex_count;
    }
}

struct polygon_totals {
    std::size_t vertex_entries;
    std::size_t runs_opened;
    std::uint32_t triangles;
};

// The counts are at most 65535 polygons of 127 vertices, far from any overflow.
polygon_totals count_polygons(const terrain_sector& sector) {
    polygon_totals totals{0, 0, 0};
    walk_polygons(sector, [&totals](const polygon_step& step) {
        totals.vertex_entries += step.vertex_count;
        if (step.vertex_count >= 3) totals.triangles += step.vertex_count - 2;
    });
    for (int k = 0; k < sector.number_of_polygons; ++k) {
        if ((sector.polygon_codes[k] & new_run_bit) != 0) ++totals.runs_opened;
    }
    return totals;
}

}  // namespace

void check_sector_export(int row, int column) {
    const terrain_sector& sector = sector_at(row, column);
    const std::size_t points = sector.number_of_points;
    require_terrain_bytes(sector.heights, 2 * points, "heights", row, column);
    require_terrain_bytes(sector.point_xz, 4 * points, "point positions", row, column);
    require_terrain_bytes(sector.polygon_codes, sector.number_of_polygons, "polygon codes", row, column);
    polygon_totals totals = count_polygons(sector);
    require_terrain_bytes(sector.vertex_indices, totals.vertex_entries * vertex_entry_size(sector),
                          "vertex lists", row, column);
    // Run 0 and one more for every code with bit 7 set; without polygons nothing is read.
    require_terrain_bytes(sector.type_runs, sector.number_of_polygons > 0 ? totals.runs_opened + 1 : 0,
                          "type runs", row, column);

    walk_polygons(sector, [&](const polygon_step& step) {
        if (step.vertex_count < 3) return;
        // Surface numbers start at 1 and the surface list ends at 61: type 0 or a type past
        // the table would name no surface, and readers of the object would then read past
        // their surface list.
        unsigned type = sector.type_runs[step.type_position];
        if (type < 1 || type > surface_count) {
            fail(
                "terrain.ffp: polygon %d of sector row %d, column %d has terrain type %u, which names no "
                "surface (types 1 to %u do)",
                step.polygon, row, column, type, static_cast<unsigned>(surface_count));
        }
        for (unsigned j = 0; j < step.vertex_count; ++j) {
            unsigned vertex = vertex_entry(sector, step.first_entry + j);
            if (vertex >= points) {
                fail(
                    "terrain.ffp: polygon %d of sector row %d, column %d uses point %u, but the sector has "
                    "only %d points",
                    step.polygon, row, column, vertex, sector.number_of_points);
            }
        }
    });
}

byte_buffer encode_sector_lwo(const terrain_sector& sector) {
    const std::uint32_t points = sector.number_of_points;
    const std::uint32_t triangles = count_polygons(sector).triangles;
    byte_buffer out;
    out.reserve(8 + form_fixed_size + point_size * points + triangle_size * triangles);

    put_id(out, "FORM");
    put_be32(out, form_fixed_size + point_size * points + triangle_size * triangles);
    put_id(out, "LWOB");

    put_id(out, "SRFS");
    put_be32(out, surface_count * surface_name_size);
    for (std::uint32_t surface = 1; surface <= surface_count; ++surface) put_surface_name(out, surface);

    put_id(out, "PNTS");
    put_be32(out, point_size * points);
    for (std::uint32_t i = 0; i < points; ++i) {
        const unsigned char* xz = sector.point_xz + 4 * i;
        // Every value is an integer of at most 16 bits, exact as a float.
        put_be_float(out, static_cast<float>(static_cast<std::int16_t>(get_u16_le(xz))));
        put_be_float(out, static_cast<float>(get_u16_le(sector.heights + 2 * i) & height_bits));
        put_be_float(out, static_cast<float>(static_cast<std::int16_t>(get_u16_le(xz + 2))));
    }

    put_id(out, "POLS");
    put_be32(out, triangle_size * triangles);
    walk_polygons(sector, [&](const polygon_step& step) {
        if (step.vertex_count < 3) return;
        const unsigned type = sector.type_runs[step.type_position];
        const bool is_strip = terrain_types[type].is_strip != 0;
        auto v = [&](unsigned j) { return vertex_entry(sector, step.first_entry + j); };
        for (unsigned i = 0; i + 2 < step.vertex_count; ++i) {
            put_be16(out, 3);
            if (!is_strip) {
                put_be16(out, v(0));
                put_be16(out, v(i + 1));
                put_be16(out, v(i + 2));
            } else if (i % 2 == 0) {
                put_be16(out, v(i));
                put_be16(out, v(i + 1));
                put_be16(out, v(i + 2));
            } else {
                put_be16(out, v(i));
                put_be16(out, v(i + 2));
                put_be16(out, v(i + 1));
            }
            put_be16(out, type);
        }
    });

    for (std::uint32_t surface = 1; surface <= surface_count; ++surface) {
        put_id(out, "SURF");
        put_be32(out, surface_chunk_size);
        put_surface_name(out, surface);
        put_id(out, "COLR");
        put_be16(out, 4);
        out.insert(out.end(), terrain_types[surface].colour, terrain_types[surface].colour + 3);
        out.push_back(0);
        put_id(out, "LUMI");
        put_be16(out, 2);
        put_be16(out, 170);
    }
    return out;
}

void write_sector_lwo(int row, int column, const char* file_name) {
    check_sector_export(row, column);
    byte_buffer bytes = encode_sector_lwo(terrain_sectors[row][column]);
    output_file out = open_output(file_name, file_name);
    std::printf("%s opened ...\n", file_name);
    write_output(out, bytes.data(), bytes.size());
    commit_output(out);
}
