#include "report_writer.hpp"

#include <cerrno>
#include <cstring>

#include "fail.hpp"
#include "fixed_format.hpp"

namespace {

// The reports open at one time; a program keeps a handful at most.
constexpr int max_open_reports = 8;
report_writer* open_reports[max_open_reports];

// Room for any one number of a report.
constexpr std::size_t max_number_length = max_fixed_length;

/// The reason of the failure just seen, never "success".
int last_error() { return errno != 0 ? errno : EIO; }

void forget_report(report_writer& report) {
    for (report_writer*& slot : open_reports) {
        if (slot == &report) slot = nullptr;
    }
}

/// Writes out the buffer; the errno of a failure, or 0.
int write_buffer(report_writer& report) {
    std::size_t size = report.used;
    report.used = 0;
    errno = 0;
    if (size > 0 && std::fwrite(report.buffer, 1, size, report.stream) != size) return last_error();
    // The stream's own buffer is flushed too: nothing is left for the process end, whose
    // flush nobody checks.
    if (std::fflush(report.stream) != 0) return last_error();
    return 0;
}

/// Writes out and closes; the errno of the first failure, or 0.
int finish_report(report_writer& report) {
    forget_report(report);
    int error = write_buffer(report);
    std::FILE* stream = report.stream;
    report.stream = nullptr;
    errno = 0;
    if (std::fclose(stream) != 0 && error == 0) error = last_error();
    return error;
}

[[noreturn]] void abandon_report(report_writer& report, int error) {
    forget_report(report);
    std::fclose(report.stream);
    report.stream = nullptr;
    fail("cannot write %s (%s)", report.name, std::strerror(error));
}

/// What `fail` runs before the process ends: every open report is written out and closed.
void finish_open_reports() {
    for (report_writer* report : open_reports) {
        if (report == nullptr) continue;
        const char* name = report->name;
        if (int error = finish_report(*report))
            std::printf("cannot write %s (%s)\n", name, std::strerror(error));
    }
}

void make_room(report_writer& report, std::size_t size) {
    if (sizeof report.buffer - report.used >= size) return;
    if (int error = write_buffer(report)) abandon_report(report, error);
}

}  // namespace

bool open_report(report_writer& report, const char* name) {
    report.name = name;
    report.used = 0;
    report.stream = std::fopen(name, "wb");
    if (report.stream == nullptr) return false;
    // The report's own buffer is the only one: each block goes to the file in one write.
    std::setvbuf(report.stream, nullptr, _IONBF, 0);
    for (report_writer*& slot : open_reports) {
        if (slot == nullptr) {
            slot = &report;
            add_fail_cleanup(finish_open_reports);
            return true;
        }
    }
    fail("cannot open %s (too many reports open)", name);
}

void report_text(report_writer& report, std::string_view text) {
    if (text.size() > sizeof report.buffer) {
        make_room(report, sizeof report.buffer);
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), report.stream) != text.size())
            abandon_report(report, last_error());
        return;
    }
    make_room(report, text.size());
    std::memcpy(report.buffer + report.used, text.data(), text.size());
    report.used += text.size();
}

void report_int(report_writer& report, std::int64_t value) {
    make_room(report, max_number_length);
    char* start = report.buffer + report.used;
    report.used += static_cast<std::size_t>(format_integer(start, value) - start);
}

void report_fixed(report_writer& report, double value) {
    make_room(report, max_number_length);
    char* start = report.buffer + report.used;
    report.used += static_cast<std::size_t>(format_fixed(start, value) - start);
}

char* report_space_after_flush(report_writer& report, std::size_t size) {
    make_room(report, size);
    return report.buffer + report.used;
}

void close_report(report_writer& report) {
    const char* name = report.name;
    if (int error = finish_report(report)) fail("cannot write %s (%s)", name, std::strerror(error));
}
