#pragma once

#include <string>

#include "fail.hpp"

/// Appends "%f" of `value` (see fixed_format.hpp).
void append_fixed(std::string& out, double value);

/// Appends printf-style formatted text to `out`, however long the result.
void append_format(std::string& out, const char* format, ...) MAP_PRINTF_FORMAT(2, 3);
