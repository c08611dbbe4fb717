#include "file_io.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "fail.hpp"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace {

bool is_directory(const char* path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

}  // namespace

bool read_whole_file(const char* path, const char* name, byte_buffer& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        // POSIX opens a directory and then refuses to read it; Windows refuses the open. The
        // read error is the message on both, so a directory in a file's place reads the same.
        if (is_directory(path)) fail("cannot read %s (%s)", name, std::strerror(EISDIR));
        return false;
    }
    bytes.clear();
    unsigned char chunk[65536];
    for (;;) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    bool failed = std::ferror(file) != 0;
    int saved_errno = errno;
    std::fclose(file);
    if (failed) fail("cannot read %s (%s)", name, std::strerror(saved_errno));
    return true;
}

namespace {

[[noreturn]] void abandon_output(output_file& out, const std::string& reason) {
    if (out.stream != nullptr) std::fclose(out.stream);
    out.stream = nullptr;
    std::remove(out.temporary_path.c_str());
    fail("cannot write %s (%s)", out.name.c_str(), reason.c_str());
}

std::string last_error() { return std::strerror(errno); }

/// Creates a new file for writing, never opening one that is already there (errno EEXIST).
std::FILE* create_new_file(const char* path) {
#if defined(_WIN32)
    // The Windows C runtime's fopen does not know "x" and would truncate a file that is there.
    int descriptor = _open(path, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) return nullptr;
    std::FILE* stream = _fdopen(descriptor, "wb");
    if (stream == nullptr) {
        int saved_errno = errno;
        _close(descriptor);
        std::remove(path);
        errno = saved_errno;
    }
    return stream;
#else
    return std::fopen(path, "wbx");
#endif
}

bool sync_to_disk(std::FILE* stream) {
#if defined(_WIN32)
    return _commit(_fileno(stream)) == 0;
#else
    return fsync(fileno(stream)) == 0;
#endif
}

}  // namespace

output_file open_output(const char* path, const char* name) {
    output_file out;
    if (!try_open_output(path, name, out)) fail("cannot open %s", name);
    return out;
}

bool try_open_output(const char* path, const char* name, output_file& out) {
    out = output_file{nullptr, path, "", name};

    // A file the user has made read-only, or that is no file at all (a directory, a device),
    // is not replaced: the rename below would not ask, so ask the file system the same
    // question an open for writing would.
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(status)) {
        if (!std::filesystem::is_regular_file(status)) return false;
        std::FILE* writable = std::fopen(path, "ab");
        if (writable == nullptr) return false;
        std::fclose(writable);
    }

    // The temporary file is always a new one, so no file of the user's that happens to carry
    // a temporary name is touched.
    for (int attempt = 0; attempt < 100; ++attempt) {
        out.temporary_path = out.path + ".tmp";
        if (attempt > 0) out.temporary_path += std::to_string(attempt);
        errno = 0;
        out.stream = create_new_file(out.temporary_path.c_str());
        if (out.stream != nullptr) return true;
        if (errno != EEXIST) break;
    }
    return false;
}

bool can_open_for_reading(const char* path) {
    if (std::FILE* file = std::fopen(path, "rb")) {
        std::fclose(file);
        return true;
    }
    return is_directory(path);
}

void write_output(output_file& out, const void* data, std::size_t size) {
    if (size == 0) return;
    if (std::fwrite(data, 1, size, out.stream) != size) abandon_output(out, last_error());
}

void commit_output(output_file& out) {
    if (std::fflush(out.stream) != 0) abandon_output(out, last_error());
    if (!sync_to_disk(out.stream)) abandon_output(out, last_error());
    std::FILE* stream = out.stream;
    out.stream = nullptr;
    if (std::fclose(stream) != 0) abandon_output(out, last_error());
    // The new file keeps the permissions of the one it replaces.
    std::error_code error;
    std::filesystem::file_status old_status = std::filesystem::status(out.path, error);
    if (!error && std::filesystem::is_regular_file(old_status)) {
        std::filesystem::permissions(out.temporary_path, old_status.permissions(), error);
    }
    // std::filesystem::rename replaces an existing target on every platform.
    error.clear();
    std::filesystem::rename(out.temporary_path, out.path, error);
    if (error) abandon_output(out, error.message());
}
