#include "network_files.hpp"

#include <cstdio>
#include <stdexcept>

#include "file_io.hpp"

void open_network_input(const char* name, byte_buffer& bytes) {
    bool opened = false;
    try {
        opened = read_whole_file(name, name, bytes);
    } catch (const std::bad_alloc&) {
        fail("%s: no memory to read the file", name);
    } catch (const std::length_error&) {
        fail("%s: no memory to read the file", name);
    }
    if (!opened) fail("cannot open %s", name);
    std::printf("%s opened\n", name);
}

void open_network_report(report_writer& report, const char* name) {
    if (!open_report(report, name)) fail("cannot open %s", name);
    std::printf("%s opened\n", name);
}
