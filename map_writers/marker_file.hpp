#pragma once

#include <string>
#include <vector>

#include "byte_order.hpp"

// A screenshot marker file as a screenshot tool writes it (the layout is described beside
// its reader, road_tool/screenshot_markers.hpp): a 66-byte header, then the value lines,
// with a 16-byte stretch before each of lines 2 to 5. The header and the stretches are
// label text that ends in the line ending, like the labels of a real file.

/// The bytes of a marker file whose value lines are `value_lines` (the x of the marker on
/// line 1, its z on line 3), each ending in `eol` ("\r\n" as a Windows tool writes it).
byte_buffer encode_marker_file(const std::vector<std::string>& value_lines, const std::string& eol = "\r\n");
