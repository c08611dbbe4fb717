#include "mapped_file.hpp"

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

bool open_mapped_file(const char* path, mapped_file& file) {
    file = mapped_file{};
    // The sharing of a stream opened with "rb": others may go on reading and writing. Like a
    // POSIX open, this opens a directory too (backup semantics); it then has nothing to map.
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    file.file_handle = handle;
    file.is_open = true;
    return true;
}

bool map_whole_file(mapped_file& file) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(static_cast<HANDLE>(file.file_handle), &information)) return false;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(static_cast<HANDLE>(file.file_handle), &size)) return false;
    if (size.QuadPart <= 0) return false;
    if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) return false;
    HANDLE mapping =
        CreateFileMappingA(static_cast<HANDLE>(file.file_handle), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mapping);
        return false;
    }
    file.mapping_handle = mapping;
    file.bytes = {static_cast<const unsigned char*>(view), static_cast<std::size_t>(size.QuadPart)};
    return true;
}

void close_mapped_file(mapped_file& file) {
    if (file.is_open) CloseHandle(static_cast<HANDLE>(file.file_handle));
    file.file_handle = nullptr;
    file.is_open = false;
}

void unmap_file(mapped_file& file) {
    if (!file.bytes.empty()) UnmapViewOfFile(file.bytes.data());
    if (file.mapping_handle != nullptr) CloseHandle(static_cast<HANDLE>(file.mapping_handle));
    file.bytes = {};
    file.mapping_handle = nullptr;
    close_mapped_file(file);
}

#else

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool open_mapped_file(const char* path, mapped_file& file) {
    file = mapped_file{};
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    file.descriptor = descriptor;
    file.is_open = true;
    return true;
}

bool map_whole_file(mapped_file& file) {
    struct stat status;
    if (fstat(file.descriptor, &status) != 0) return false;
    if (status.st_size <= 0) return false;
    if (static_cast<std::uintmax_t>(status.st_size) > SIZE_MAX) return false;
    std::size_t size = static_cast<std::size_t>(status.st_size);
    void* start = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file.descriptor, 0);
    if (start == MAP_FAILED) return false;
    file.bytes = {static_cast<const unsigned char*>(start), size};
    return true;
}

void close_mapped_file(mapped_file& file) {
    if (file.is_open) close(file.descriptor);
    file.descriptor = -1;
    file.is_open = false;
}

void unmap_file(mapped_file& file) {
    if (!file.bytes.empty()) munmap(const_cast<unsigned char*>(file.bytes.data()), file.bytes.size());
    file.bytes = {};
    close_mapped_file(file);
}

#endif
