#pragma once

#if defined(__GNUC__)
#define MAP_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define MAP_PRINTF_FORMAT(fmt, args)
#endif

/// Prints one line (the formatted text and a line feed) on standard output and ends the
/// process with exit status 1. Every stage of every tool fails through here, so a failure
/// always flushes and closes the open streams the same way.
[[noreturn]] void fail(const char* format, ...) MAP_PRINTF_FORMAT(1, 2);
