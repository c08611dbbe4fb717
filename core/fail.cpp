#include "fail.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// A program has a handful at most: its open reports, a helper thread.
constexpr int max_fail_cleanups = 4;
void (*fail_cleanups[max_fail_cleanups])();
int fail_cleanup_count = 0;

}  // namespace

void add_fail_cleanup(void (*cleanup)()) {
    for (int i = 0; i < fail_cleanup_count; ++i) {
        if (fail_cleanups[i] == cleanup) return;
    }
    if (fail_cleanup_count == max_fail_cleanups) {
        std::printf("internal error: too many cleanups\n");
        std::abort();
    }
    fail_cleanups[fail_cleanup_count++] = cleanup;
}

void fail(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    // Each is taken off the list before it runs, so that a cleanup that fails after all
    // cannot come back here.
    while (fail_cleanup_count > 0) fail_cleanups[--fail_cleanup_count]();
#if defined(MAP_TOOLS_FAIL_THROWS)
    throw fail_exit{};
#else
    // exit, not _exit: the messages printed so far and this one must reach the console.
    std::exit(1);
#endif
}
