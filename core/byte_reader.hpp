#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "byte_order.hpp"
#include "fail.hpp"

/// A read cursor over a file's bytes that cannot run past their end. Readers check
/// `bytes_left` first so that they can say what was cut short; taking more than is left
/// still ends the run with a message instead of reading outside the buffer.
struct byte_reader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
    const char* file_name;
};

inline byte_reader make_byte_reader(const byte_buffer& bytes, const char* file_name) {
    return byte_reader{bytes.data(), bytes.size(), 0, file_name};
}

inline std::size_t bytes_left(const byte_reader& reader) { return reader.size - reader.position; }

inline std::int32_t take_i32_le(byte_reader& reader) {
    if (bytes_left(reader) < 4) fail("%s: file ends early", reader.file_name);
    std::int32_t value = get_i32_le(reader.data + reader.position);
    reader.position += 4;
    return value;
}

inline float take_f32_le(byte_reader& reader) { return std::bit_cast<float>(take_i32_le(reader)); }
