#pragma once

#if defined(__MINGW32__)
// With libstdc++, mingw-w64's printf family is its own C99 one (%zu, %lld), not the older
// Windows runtime's, which the plain printf archetype describes there.
#define MAP_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define MAP_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define MAP_PRINTF_FORMAT(fmt, args)
#endif

/// Prints one line (the formatted text and a line feed) on standard output and ends the
/// process with exit status 1. Every stage of every tool fails through here, so a failure
/// always flushes and closes the open streams the same way.
[[noreturn]] void fail(const char* format, ...) MAP_PRINTF_FORMAT(1, 2);

#if defined(MAP_TOOLS_FAIL_THROWS)
/// The fuzz build's `fail` prints and runs its cleanup as always, then throws this instead of
/// ending the process, so that a fuzz target gets control back from the very stage code the
/// programs run once that code has refused its input. The programs are never built so.
struct fail_exit {};
#endif

/// Has `fail` run `cleanup` after printing its message and before ending the process, for
/// output the C streams do not hold (a program's own buffers) and for a helper thread that
/// must stop first. Cleanups run newest first, each once; adding one that is there already
/// changes nothing. A cleanup may print lines of its own but must not call `fail`. Without
/// any, `fail` only prints and exits.
void add_fail_cleanup(void (*cleanup)());
