#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

/// A binary input read front to back through one buffer of its own, for files too large to
/// hold in memory beside what is decoded from them. Like `byte_reader` it knows how many
/// bytes are left (from the file's size at open), so that readers check counts before they
/// use them; taking more than is left ends the run with "<name>: file ends early", and a
/// failed read with "cannot read <name> (<reason>)". Values are decoded explicitly as
/// little-endian.
struct stream_reader {
    std::FILE* file;
    const char* name;
    std::uint64_t size;      // bytes in the file
    std::uint64_t position;  // of the next byte taken
    std::size_t buffered;    // bytes in `buffer`
    std::size_t next;        // index of the next byte in `buffer`
    unsigned char buffer[1 << 16];
};

/// Opens `name` in the working directory; false when it cannot be opened. `name` must
/// outlive the reader.
bool open_stream_reader(stream_reader& reader, const char* name);

inline std::uint64_t bytes_left(const stream_reader& reader) { return reader.size - reader.position; }

std::int32_t take_i32_le(stream_reader& reader);

/// The next `count` bytes (at most 4096), valid until the next call.
const unsigned char* take_bytes(stream_reader& reader, std::size_t count);

/// `take_bytes` when the buffer holds them, which is nearly always.
inline const unsigned char* take_buffered_bytes(stream_reader& reader, std::size_t count) {
    if (reader.buffered - reader.next < count) return take_bytes(reader, count);
    const unsigned char* bytes = reader.buffer + reader.next;
    reader.next += count;
    reader.position += count;
    return bytes;
}
float take_f32_le(stream_reader& reader);

/// Moves `count` bytes forward, at most to the end.
void skip_bytes(stream_reader& reader, std::uint64_t count);

/// Moves to `position` (at most the size) from the start of the file.
void seek_to(stream_reader& reader, std::uint64_t position);

void close_stream_reader(stream_reader& reader);
