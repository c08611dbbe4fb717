#include "land_cover_outline.hpp"

#include <cstdio>

#include "byte_reader.hpp"
#include "fail.hpp"
#include "file_io.hpp"
#include "road_table.hpp"

namespace {

constexpr std::size_t outline_header_bytes = 12;
constexpr std::size_t outline_vertex_bytes = 8;

/// Metres to whole centimetres, truncated toward zero; the road's index names it in the
/// message when the value has no int32 form.
std::int32_t outline_centimetres(double metres, std::int32_t road_index) {
    const double centimetres = metres * 100.0;
    // Truncation keeps everything strictly between -2^31 - 1 and 2^31; false for NaN too.
    if (!(centimetres > -2147483649.0 && centimetres < 2147483648.0)) {
        fail("%s: the outline of road %d has a corner that cannot be stored in centimetres",
             outline_file_name, road_index);
    }
    return static_cast<std::int32_t>(centimetres);
}

void put_vertex(byte_buffer& out, const road_point& corner, std::int32_t road_index) {
    put_i32_le(out, outline_centimetres(corner.x, road_index));
    put_i32_le(out, outline_centimetres(corner.z, road_index));
}

}  // namespace

byte_buffer encode_land_cover_outline() {
    byte_buffer out;
    put_i32_le(out, road_count);
    for (std::int32_t r = 0; r < road_count; ++r) {
        const road_record& road = roads[r];
        const std::int32_t n = road.section_count;
        // A road of one point has no section and so no quad: its outline is empty, and
        // the count says so.
        const std::int32_t vertex_count = n > 0 ? 2 * n + 2 : 0;
        put_i32_le(out, outline_code);
        out.insert(out.end(), outline_bytes, outline_bytes + sizeof outline_bytes);
        put_i32_le(out, vertex_count);
        if (vertex_count == 0) continue;
        for (std::int32_t k = 0; k < n; ++k) put_vertex(out, road.quads[k].q, r);
        put_vertex(out, road.quads[n - 1].r, r);
        for (std::int32_t k = n - 1; k >= 0; --k) put_vertex(out, road.quads[k].s, r);
        put_vertex(out, road.quads[0].p, r);
    }
    return out;
}

void write_land_cover_outline() {
    byte_buffer bytes = encode_land_cover_outline();
    output_file out;
    if (!try_open_output(outline_file_name, outline_file_name, out)) fail("%s", outline_file_name);
    std::printf("%s opened\n", outline_file_name);
    write_output(out, bytes.data(), bytes.size());
    commit_output(out);
}

std::vector<outline_record> decode_land_cover_outline(const byte_buffer& bytes) {
    byte_reader reader = make_byte_reader(bytes, outline_file_name);
    if (bytes_left(reader) < 4) fail("%s: file ends before the road count", outline_file_name);
    const std::int32_t count = take_i32_le(reader);
    if (count < 0) fail("%s: road count %d is negative", outline_file_name, count);
    // Every record takes at least its 12 header bytes; checked before anything is allocated.
    if (bytes_left(reader) / outline_header_bytes < static_cast<std::size_t>(count)) {
        fail("%s: file too short for %d outlines", outline_file_name, count);
    }
    std::vector<outline_record> outlines(static_cast<std::size_t>(count));
    for (std::int32_t r = 0; r < count; ++r) {
        outline_record& outline = outlines[static_cast<std::size_t>(r)];
        if (bytes_left(reader) < outline_header_bytes) {
            fail("%s: file ends inside outline %d", outline_file_name, r);
        }
        outline.code = take_i32_le(reader);
        for (unsigned char& byte : outline.bytes) byte = reader.data[reader.position++];
        const std::int32_t vertices = take_i32_le(reader);
        if (vertices < 0) {
            fail("%s: outline %d has a negative vertex count (%d)", outline_file_name, r, vertices);
        }
        // Divide, don't multiply: the count is checked against the bytes actually there.
        if (bytes_left(reader) / outline_vertex_bytes < static_cast<std::size_t>(vertices)) {
            fail("%s: file ends inside outline %d", outline_file_name, r);
        }
        outline.vertices.resize(static_cast<std::size_t>(vertices));
        for (outline_vertex& vertex : outline.vertices) {
            vertex.x = take_i32_le(reader);
            vertex.z = take_i32_le(reader);
        }
    }
    return outlines;
}
