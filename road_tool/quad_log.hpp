#pragma once

#include <string>

// "quad_points_text.log", the corners of every section quad as text for a person to read.
// Lines end with a single line feed; numbers are printf's "%f", two blanks between x and z.
//
//   per road r:
//     "Road %d\n\n"                      r
//     per section j:
//       "quad %d\n\n"                    j
//       "p = %f  %f\n"                   x and z of corner p, then q, r and s likewise
//       "\n"

/// Stage: replaces "quad_points_text.log" in the working directory.
void write_quad_log();

/// The text of "quad_points_text.log" for the road table.
std::string format_quad_log();
