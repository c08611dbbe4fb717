#include "fail.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

void (*fail_cleanup)() = nullptr;

}  // namespace

void set_fail_cleanup(void (*cleanup)()) { fail_cleanup = cleanup; }

void fail(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    // Taken before it runs, so that a cleanup that fails after all cannot come back here.
    if (void (*cleanup)() = fail_cleanup) {
        fail_cleanup = nullptr;
        cleanup();
    }
#if defined(MAP_TOOLS_FAIL_THROWS)
    throw fail_exit{};
#else
    // exit, not _exit: the messages printed so far and this one must reach the console.
    std::exit(1);
#endif
}
