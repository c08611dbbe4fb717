#pragma once

#include <bit>
#include <cstdint>
#include <vector>

// Fixed-width values decoded from and encoded to bytes, whatever the host's byte order.
// The map's binary files are little-endian; only the LWOB output is big-endian.

using byte_buffer = std::vector<unsigned char>;

inline std::uint16_t get_u16_le(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t get_u32_le(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline std::int32_t get_i32_le(const unsigned char* p) { return static_cast<std::int32_t>(get_u32_le(p)); }

inline float get_f32_le(const unsigned char* p) { return std::bit_cast<float>(get_u32_le(p)); }

inline void put_u32_le(byte_buffer& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 24));
}

inline void put_i32_le(byte_buffer& out, std::int32_t v) { put_u32_le(out, static_cast<std::uint32_t>(v)); }

inline void put_f32_le(byte_buffer& out, float v) { put_u32_le(out, std::bit_cast<std::uint32_t>(v)); }

inline void put_u32_be(byte_buffer& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

// The LWOB output's big-endian fields.

inline void put_be32(byte_buffer& out, std::uint32_t v) { put_u32_be(out, v); }

/// The low 16 bits of `v`, high byte first.
inline void put_be16(byte_buffer& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

/// The 32 bits of an IEEE single-precision float, most significant byte first.
inline void put_be_float(byte_buffer& out, float v) { put_u32_be(out, std::bit_cast<std::uint32_t>(v)); }
