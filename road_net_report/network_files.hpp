#pragma once

#include <cstddef>
#include <new>

#include "byte_order.hpp"
#include "fail.hpp"
#include "report_writer.hpp"

// The open pattern the road network's files share: a file that cannot be opened ends the
// run with "cannot open <name>", one that opens prints "<name> opened".

/// Reads the input `name` whole from the working directory.
void open_network_input(const char* name, byte_buffer& bytes);

/// Creates the report `name` in the working directory.
void open_network_report(report_writer& report, const char* name);

/// One heap table of `count` zeroed records; a failed allocation ends the run with
/// "<file>: no memory for <count> <what>". Counts are checked against the bytes of the file
/// before they get here, so a table is never much larger than its share of the file.
template <typename T>
T* allocate_table(std::size_t count, const char* file_name, const char* what) {
    T* table = new (std::nothrow) T[count]();
    if (table == nullptr) fail("%s: no memory for %zu %s", file_name, count, what);
    return table;
}
