#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

/// A text report written through one buffer of its own, so that a report of millions of
/// lines streams out in large blocks while memory stays flat. Every write, flush and close
/// is checked; a failure ends the run with "cannot write <name> (<reason>)".
///
/// The report is created in place ("wb": created, or truncated when it is there), not
/// replaced when complete: a run that stops early leaves what was written so far. While a
/// report is open, `fail` first writes out what its buffer holds, so a failed run leaves
/// every open report exactly as far as the program had written it.
///
/// All numbers of a report go through `report_int` and `report_fixed`.
struct report_writer {
    std::FILE* stream;
    const char* name;
    std::size_t used;
    char buffer[1 << 16];
};

/// Creates the report `name` in the working directory; false when it cannot be created.
/// `name` must outlive the report (the programs pass string literals).
bool open_report(report_writer& report, const char* name);

/// Appends text as it is.
void report_text(report_writer& report, std::string_view text);

/// Appends a whole number in decimal, like printf's "%lld".
void report_int(report_writer& report, std::int64_t value);

/// Appends a number with six decimals, like printf's "%f".
void report_fixed(report_writer& report, double value);

/// Room for `size` bytes (at most 4096) at the end of the buffer, for a caller that
/// formats a whole line in place: returns where to write; `report_wrote` counts them in.
/// Writes out the buffer to make room; `report_space` calls it only when the buffer is full.
char* report_space_after_flush(report_writer& report, std::size_t size);

inline char* report_space(report_writer& report, std::size_t size) {
    if (sizeof report.buffer - report.used >= size) return report.buffer + report.used;
    return report_space_after_flush(report, size);
}

/// Counts in what was written at `report_space` up to `end`.
inline void report_wrote(report_writer& report, const char* end) {
    report.used = static_cast<std::size_t>(end - report.buffer);
}

/// Writes out what the buffer holds and closes the report.
void close_report(report_writer& report);
