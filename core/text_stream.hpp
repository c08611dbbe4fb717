#pragma once

#include <cstddef>

#include "byte_order.hpp"

/// A file read with the semantics of a Windows text-mode stream, the same on every
/// platform: a carriage return is dropped and the character after it taken, a Ctrl-Z byte
/// (0x1A) reads as end of file, and seeks count raw bytes of the file as stored.
struct text_stream {
    byte_buffer bytes;
    std::size_t position;
};

inline constexpr int text_end_of_file = -1;
inline constexpr unsigned char ctrl_z = 0x1A;

/// Opens and reads the file at `path`; false when it cannot be opened (a read that fails
/// after the open ends the run with "cannot read <path>").
bool open_text_stream(const char* path, text_stream& stream);

/// The next character, or `text_end_of_file` at the end of the file or at a Ctrl-Z. A
/// Ctrl-Z is not consumed: every read at it reports end of file until a seek moves past it.
int text_getc(text_stream& stream);

/// Moves the read position `count` raw bytes forward; past the end every read reports end
/// of file.
void text_skip(text_stream& stream, std::size_t count);
