#include "terrain_files.hpp"

namespace {

std::size_t vertex_entry_size(const terrain_file_sector& sector) {
    return sector.points.size() <= 256 ? 1 : 2;
}

std::size_t terrain_bytes_of(const terrain_file_sector& sector) {
    return sector.points.size() * 6 + sector.vertex_indices.size() * vertex_entry_size(sector) +
           sector.polygon_codes.size() + sector.type_runs.size() + sector.aux_block.size();
}

void put_u16_le(byte_buffer& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void append(byte_buffer& out, const std::vector<std::uint8_t>& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

/// The offsets of one sector whose arrays start at `start`.
terrain_sector_offsets offsets_from(const terrain_file_sector& sector, std::size_t start) {
    terrain_sector_offsets offsets;
    std::size_t at = start;
    offsets.heights = static_cast<std::int32_t>(at);
    at += sector.points.size() * 2;
    offsets.point_xz = static_cast<std::int32_t>(at);
    at += sector.points.size() * 4;
    offsets.vertex_indices = static_cast<std::int32_t>(at);
    at += sector.vertex_indices.size() * vertex_entry_size(sector);
    offsets.polygon_codes = static_cast<std::int32_t>(at);
    at += sector.polygon_codes.size();
    offsets.type_runs = static_cast<std::int32_t>(at);
    at += sector.type_runs.size();
    offsets.aux_block = static_cast<std::int32_t>(at);
    return offsets;
}

}  // namespace

terrain_sector_offsets terrain_offsets_of(const terrain_map& map, std::size_t index) {
    std::size_t start = 4;
    for (std::size_t i = 0; i < index; ++i) start += terrain_bytes_of(map.sectors[i]);
    return offsets_from(map.sectors[index], start);
}

byte_buffer encode_sector_file(const terrain_map& map) {
    byte_buffer out;
    put_u32_le(out, map.sector_file_word);
    put_u16_le(out, map.row_length);
    put_u16_le(out, map.row_count);
    put_f32_le(out, map.height_min);
    put_f32_le(out, map.height_max);
    std::size_t terrain_at = 4;
    std::size_t rgb_at = 4;
    for (const terrain_file_sector& sector : map.sectors) {
        put_u16_le(out, static_cast<std::uint16_t>(sector.points.size()));
        put_u16_le(out, sector.aux_words[0]);
        put_u16_le(out, static_cast<std::uint16_t>(sector.polygon_codes.size()));
        for (int i = 1; i < 5; ++i) put_u16_le(out, sector.aux_words[i]);
        put_u16_le(out, sector.dropped_word);
        terrain_sector_offsets offsets = offsets_from(sector, terrain_at);
        put_i32_le(out, offsets.heights);
        put_i32_le(out, offsets.point_xz);
        put_i32_le(out, offsets.vertex_indices);
        put_i32_le(out, offsets.polygon_codes);
        put_i32_le(out, offsets.type_runs);
        put_i32_le(out, offsets.aux_block);
        put_i32_le(out, static_cast<std::int32_t>(rgb_at));
        put_i32_le(out, static_cast<std::int32_t>(rgb_at + sector.rgb_block_1.size()));
        terrain_at += terrain_bytes_of(sector);
        rgb_at += sector.rgb_block_1.size() + sector.rgb_block_2.size();
    }
    append(out, map.sector_file_trailer);
    return out;
}

byte_buffer encode_terrain_file(const terrain_map& map) {
    std::size_t total = 4;
    for (const terrain_file_sector& sector : map.sectors) total += terrain_bytes_of(sector);
    byte_buffer out;
    out.reserve(total);
    put_u32_le(out, map.terrain_file_word);
    for (const terrain_file_sector& sector : map.sectors) {
        for (const terrain_file_point& point : sector.points) put_u16_le(out, point.height_word);
        for (const terrain_file_point& point : sector.points) {
            put_u16_le(out, static_cast<std::uint16_t>(point.x));
            put_u16_le(out, static_cast<std::uint16_t>(point.z));
        }
        for (std::uint16_t entry : sector.vertex_indices) {
            if (vertex_entry_size(sector) == 1) {
                out.push_back(static_cast<unsigned char>(entry));
            } else {
                put_u16_le(out, entry);
            }
        }
        append(out, sector.polygon_codes);
        append(out, sector.type_runs);
        append(out, sector.aux_block);
    }
    return out;
}

byte_buffer encode_rgb_file(const terrain_map& map) {
    byte_buffer out;
    put_u32_le(out, map.rgb_file_word);
    for (const terrain_file_sector& sector : map.sectors) {
        append(out, sector.rgb_block_1);
        append(out, sector.rgb_block_2);
    }
    return out;
}
