#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "text_stream.hpp"

// Screenshot marker files IMAGE000.TXT, IMAGE001.TXT, ... in the screenshot directory, one
// marker each. A file is read as text; the skips count raw bytes of the file as stored (a
// carriage return is a byte):
//
//   66 bytes        skipped
//   value line 1    its number is the marker's x (whole metres)
//   16 bytes        skipped
//   value line 2    read, not used
//   16 bytes        skipped
//   value line 3    its number is the marker's z
//   16 bytes        skipped
//   value line 4    read, not used
//   16 bytes        skipped
//   value line 5    read, not used
//
// Anything after value line 5 is not read. A value line runs up to and including its line
// feed, or to the end of the file or a Ctrl-Z. Lines 1 to 3 keep at most 15 characters,
// lines 4 and 5 at most 7; the rest of a longer line is read past, not kept.

/// Stage: reads the marker files from number 0 up to the first number that has no file
/// into `markers` and `marker_count`.
void read_screenshot_markers();

/// True when the file at `path` can be opened for reading, or is a directory, which then
/// stops the run as a file that cannot be read (on every platform).
bool file_exists(const char* path);

/// Reads one value line into `buffer` of `capacity` characters, NUL included.
void read_value_line(text_stream& stream, char* buffer, std::size_t capacity);

/// The marker coordinate of a value line: its leading number (as strtod reads it, 0 when
/// there is none) truncated toward zero, or nothing when that is not a number or too large
/// for the road file to store in centimetres.
std::optional<std::int32_t> marker_coordinate(const char* line);
