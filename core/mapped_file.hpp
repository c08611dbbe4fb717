#pragma once

#include <span>

/// A file mapped read-only into memory. Its bytes are seen as one span, but the system reads
/// a page from disk only when it is first touched, so a run that uses a few arrays of a
/// gigabyte file costs a few pages, not the file. The mapping stays valid after the file is
/// closed, until `unmap_file`. The file must not be cut short while it is mapped.
struct mapped_file {
    std::span<const unsigned char> bytes;
    bool is_open = false;
#if defined(_WIN32)
    void* file_handle = nullptr;
    void* mapping_handle = nullptr;
#else
    int descriptor = -1;
#endif
};

/// Opens the file at `path` for reading; false when it cannot be opened.
bool open_mapped_file(const char* path, mapped_file& file);

/// Maps the whole of an open file. False when the file is empty (a mapping of no bytes is
/// no mapping), too large for the address space, or cannot be mapped.
bool map_whole_file(mapped_file& file);

/// Closes the file; a mapping made from it stays in place.
void close_mapped_file(mapped_file& file);

/// Releases the mapping (and closes the file if it is still open).
void unmap_file(mapped_file& file);
