#include "network_files.hpp"

#include <cstdio>

void open_network_input(const char* name, stream_reader& reader) {
    if (!open_stream_reader(reader, name)) fail("cannot open %s", name);
    std::printf("%s opened\n", name);
}

void open_network_report(report_writer& report, const char* name) {
    if (!open_report(report, name)) fail("cannot open %s", name);
    std::printf("%s opened\n", name);
}
