#pragma once

#include <string>

/// A sector row or column given on the command line, read as the standard conversion of a
/// string to an int reads it: leading white space skipped, an optional sign, digits up to
/// the first non-digit ("12abc" is 12), and 0 for a text without digits. A value outside
/// the int range ends the run with a message naming `what`.
int sector_argument(const char* text, const char* what);

/// The object's file name: row and column with "%03dx%03d.lwo", so 5 and 12 give
/// "005x012.lwo" and wider numbers keep all their digits.
std::string sector_file_name(int row, int column);

/// Lists the points of terrain_sectors[row][column] on standard output, one line each:
/// point number, x, z and stored height, two spaces apart. A sector outside the grid, or
/// whose point arrays do not lie inside "terrain.ffp", ends the run with a message.
void print_sector_points(int row, int column);
