#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "byte_order.hpp"

/// Reads the whole file at `path` into `bytes`. Returns false when the file cannot be
/// opened; a read that fails after the open ends the run with "cannot read <name>".
/// `name` is the file name the messages use, which may differ from the path opened.
bool read_whole_file(const char* path, const char* name, byte_buffer& bytes);

/// True when an open of `path` for reading finds something there: a file that can be opened,
/// or a directory, which POSIX opens and Windows does not (reading one then fails with the
/// same message on both, as `read_whole_file` shows).
bool can_open_for_reading(const char* path);

/// An output that replaces a file only once it is complete. The data goes to a new
/// temporary file beside the target; `commit_output` flushes it to disk and renames it over
/// the target, so a run that fails at any point leaves the old file exactly as it was.
struct output_file {
    std::FILE* stream;
    std::string path;
    std::string temporary_path;
    std::string name;
};

/// Starts the output that will replace `path`. When the file cannot be created (or an
/// existing file there cannot be opened for writing) the run ends with "cannot open <name>".
output_file open_output(const char* path, const char* name);

/// As `open_output`, but returns false instead of ending the run when the output cannot be
/// started, so that the caller can say so in its own words.
bool try_open_output(const char* path, const char* name, output_file& out);

/// Writes `size` bytes; a failed write removes the temporary file and ends the run with
/// "cannot write <name>".
void write_output(output_file& out, const void* data, std::size_t size);

/// Flushes, syncs and closes the output and renames it into place; any failure removes the
/// temporary file and ends the run with "cannot write <name>".
void commit_output(output_file& out);
