#pragma once

#include <string>

#include "fail.hpp"

/// Appends printf-style formatted text to `out`, however long the result.
void append_format(std::string& out, const char* format, ...) MAP_PRINTF_FORMAT(2, 3);
