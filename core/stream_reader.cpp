#include "stream_reader.hpp"

#include <bit>
#include <cerrno>
#include <cstring>

#include "byte_order.hpp"
#include "fail.hpp"

#if defined(_WIN32)
#define map_fseek _fseeki64
#define map_ftell _ftelli64
#else
#define map_fseek fseeko
#define map_ftell ftello
#endif

namespace {

[[noreturn]] void fail_read(const stream_reader& reader) {
    if (std::ferror(reader.file)) fail("cannot read %s (%s)", reader.name, std::strerror(errno));
    // The file got shorter after it was opened.
    fail("%s: file ends early", reader.name);
}

/// Makes `count` (at most the buffer's size) bytes available at `next`.
void fill(stream_reader& reader, std::size_t count) {
    if (bytes_left(reader) < count) fail("%s: file ends early", reader.name);
    std::size_t kept = reader.buffered - reader.next;
    if (kept >= count) return;
    std::memmove(reader.buffer, reader.buffer + reader.next, kept);
    reader.next = 0;
    reader.buffered = kept;
    std::uint64_t unread = bytes_left(reader) - kept;
    std::size_t room = sizeof reader.buffer - kept;
    std::size_t wanted = unread < room ? static_cast<std::size_t>(unread) : room;
    std::size_t got = std::fread(reader.buffer + kept, 1, wanted, reader.file);
    reader.buffered += got;
    if (reader.buffered < count) fail_read(reader);
}

}  // namespace

const unsigned char* take_bytes(stream_reader& reader, std::size_t count) {
    fill(reader, count);
    const unsigned char* bytes = reader.buffer + reader.next;
    reader.next += count;
    reader.position += count;
    return bytes;
}

bool open_stream_reader(stream_reader& reader, const char* name) {
    reader.name = name;
    reader.position = 0;
    reader.buffered = 0;
    reader.next = 0;
    reader.file = std::fopen(name, "rb");
    if (reader.file == nullptr) return false;
    errno = 0;
    if (map_fseek(reader.file, 0, SEEK_END) != 0) fail("cannot read %s (%s)", name, std::strerror(errno));
    const auto end = map_ftell(reader.file);
    if (end < 0 || map_fseek(reader.file, 0, SEEK_SET) != 0) {
        fail("cannot read %s (%s)", name, std::strerror(errno));
    }
    reader.size = static_cast<std::uint64_t>(end);
    return true;
}

std::int32_t take_i32_le(stream_reader& reader) { return get_i32_le(take_bytes(reader, 4)); }

float take_f32_le(stream_reader& reader) { return std::bit_cast<float>(get_u32_le(take_bytes(reader, 4))); }

void skip_bytes(stream_reader& reader, std::uint64_t count) {
    const std::uint64_t left = bytes_left(reader);
    seek_to(reader, reader.position + (count < left ? count : left));
}

void seek_to(stream_reader& reader, std::uint64_t position) {
    if (position > reader.size) position = reader.size;
    // Within the buffer, move inside it; elsewhere start again from the file.
    const std::uint64_t buffer_start = reader.position - reader.next;
    if (position >= buffer_start && position <= buffer_start + reader.buffered) {
        reader.next = static_cast<std::size_t>(position - buffer_start);
        reader.position = position;
        return;
    }
    errno = 0;
    if (map_fseek(reader.file, static_cast<long long>(position), SEEK_SET) != 0) {
        fail("cannot read %s (%s)", reader.name, std::strerror(errno));
    }
    reader.position = position;
    reader.buffered = 0;
    reader.next = 0;
}

void close_stream_reader(stream_reader& reader) {
    if (reader.file != nullptr) std::fclose(reader.file);
    reader.file = nullptr;
}
