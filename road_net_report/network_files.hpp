#pragma once

#include <cstddef>
#include <new>

#include "fail.hpp"
#include "report_writer.hpp"
#include "stream_reader.hpp"

// The open pattern the road network's files share: a file that cannot be opened ends the
// run with "cannot open <name>", one that opens prints "<name> opened".

/// Opens the input `name` in the working directory. Inputs are read front to back through
/// a buffer, not whole: what a report keeps of a file is all the memory it takes.
void open_network_input(const char* name, stream_reader& reader);

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

/// A table of `count` records that the caller fills completely before anything reads it,
/// so it is not zeroed first.
template <typename T>
T* allocate_filled_table(std::size_t count, const char* file_name, const char* what) {
    T* table = new (std::nothrow) T[count];
    if (table == nullptr) fail("%s: no memory for %zu %s", file_name, count, what);
    return table;
}
