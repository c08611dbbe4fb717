#include "fail.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void fail(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    // exit, not _exit: the messages printed so far and this one must reach the console.
    std::exit(1);
}
