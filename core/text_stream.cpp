#include "text_stream.hpp"

#include "file_io.hpp"

bool open_text_stream(const char* path, text_stream& stream) {
    stream.position = 0;
    return read_whole_file(path, path, stream.bytes);
}

int text_getc(text_stream& stream) {
    while (stream.position < stream.bytes.size()) {
        unsigned char c = stream.bytes[stream.position];
        if (c == ctrl_z) return text_end_of_file;
        ++stream.position;
        if (c != '\r') return c;
    }
    return text_end_of_file;
}

void text_skip(text_stream& stream, std::size_t count) {
    std::size_t left = stream.bytes.size() - stream.position;
    stream.position += count < left ? count : left;
}
