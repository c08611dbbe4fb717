#include "marker_file.hpp"

namespace {

constexpr std::size_t header_bytes = 66;
constexpr std::size_t gap_bytes = 16;

/// Label text of exactly `size` bytes that ends in the line ending.
void put_label(byte_buffer& out, std::size_t size, const std::string& eol) {
    out.insert(out.end(), size - eol.size(), '#');
    out.insert(out.end(), eol.begin(), eol.end());
}

}  // namespace

byte_buffer encode_marker_file(const std::vector<std::string>& value_lines, const std::string& eol) {
    byte_buffer out;
    put_label(out, header_bytes, eol);
    for (std::size_t i = 0; i < value_lines.size(); ++i) {
        if (i > 0) put_label(out, gap_bytes, eol);
        out.insert(out.end(), value_lines[i].begin(), value_lines[i].end());
        out.insert(out.end(), eol.begin(), eol.end());
    }
    return out;
}
