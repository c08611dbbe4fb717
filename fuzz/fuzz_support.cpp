#include "fuzz_support.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// The real functions, reached through the linker's --wrap.
extern "C" std::FILE* __real_fopen(const char* path, const char* mode);
extern "C" int __real_fclose(std::FILE* stream);

namespace {

namespace fs = std::filesystem;

// The streams opened during the current input and not closed yet; no input runs when
// `tracking` is false (libFuzzer opens files of its own between inputs).
bool tracking = false;
std::vector<std::FILE*> open_streams;

fs::path scratch_directory;

// The rewritten command line; its strings must live as long as the process.
std::vector<std::string> argument_storage;
std::vector<char*> argument_pointers;

void remove_scratch_directory() {
    std::error_code ignored;
    fs::current_path(scratch_directory.parent_path(), ignored);
    fs::remove_all(scratch_directory, ignored);
}

[[noreturn]] void give_up(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz target: %s: %s\n", what, detail.c_str());
    std::abort();
}

/// The flags of libFuzzer whose value is a path.
bool is_path_flag(const std::string& argument, std::string::size_type& value_start) {
    for (const char* flag :
         {"-artifact_prefix=", "-exact_artifact_path=", "-dict=", "-merge_control_file=", "-features_dir="}) {
        if (argument.starts_with(flag)) {
            value_start = std::strlen(flag);
            return true;
        }
    }
    return false;
}

/// `path` made absolute against the starting directory; a prefix keeps a trailing slash.
std::string absolute_from(const fs::path& start, const std::string& path) {
    if (path.empty() || fs::path(path).is_absolute()) return path;
    std::string absolute = (start / path).string();
    if (path.back() == '/' && absolute.back() != '/') absolute += '/';
    return absolute;
}

}  // namespace

void enter_scratch_directory(int* argc, char*** argv) {
    std::error_code error;
    const fs::path start = fs::current_path(error);
    if (error) give_up("cannot read the working directory", error.message());

    bool has_artifact_prefix = false;
    for (int i = 0; i < *argc; ++i) {
        std::string argument = (*argv)[i];
        std::string::size_type value_start = 0;
        if (i == 0) {
            // The program's own name stays as it was given.
        } else if (is_path_flag(argument, value_start)) {
            has_artifact_prefix = has_artifact_prefix || argument.starts_with("-artifact_prefix=");
            argument = argument.substr(0, value_start) + absolute_from(start, argument.substr(value_start));
        } else if (!argument.starts_with("-")) {
            argument = absolute_from(start, argument);
        }
        argument_storage.push_back(argument);
    }
    if (!has_artifact_prefix) argument_storage.push_back("-artifact_prefix=" + start.string() + "/");
    for (std::string& argument : argument_storage) argument_pointers.push_back(argument.data());
    argument_pointers.push_back(nullptr);
    *argc = static_cast<int>(argument_storage.size());
    *argv = argument_pointers.data();

    std::string pattern = (fs::temp_directory_path(error) / "map_tools_fuzz_XXXXXX").string();
    if (error) give_up("no temporary directory", error.message());
    if (mkdtemp(pattern.data()) == nullptr) give_up("cannot make a scratch directory", pattern);
    scratch_directory = pattern;
    fs::current_path(scratch_directory, error);
    if (error) give_up("cannot enter the scratch directory", error.message());
    std::atexit(remove_scratch_directory);
}

extern "C" std::FILE* __wrap_fopen(const char* path, const char* mode) {
    std::FILE* stream = __real_fopen(path, mode);
    if (stream != nullptr && tracking) open_streams.push_back(stream);
    return stream;
}

extern "C" int __wrap_fclose(std::FILE* stream) {
    std::erase(open_streams, stream);
    return __real_fclose(stream);
}

input_scope::input_scope() {
    open_streams.clear();
    tracking = true;
}

input_scope::~input_scope() {
    tracking = false;
    for (std::FILE* stream : open_streams) __real_fclose(stream);
    open_streams.clear();
}

void remove_scratch_file(const char* name) { std::remove(name); }

void write_scratch_file(const char* name, std::span<const unsigned char> bytes) {
    remove_scratch_file(name);
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) give_up("cannot create", name);
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) give_up("cannot write", name);
}

std::span<const unsigned char> take_part(input_parts& input, std::size_t size) {
    if (size > input.size) size = input.size;
    std::span<const unsigned char> part(input.data, size);
    input.data += size;
    input.size -= size;
    return part;
}

std::span<const unsigned char> take_rest(input_parts& input) { return take_part(input, input.size); }

std::int32_t take_part_i32(input_parts& input) {
    unsigned char word[4] = {0, 0, 0, 0};
    std::span<const unsigned char> part = take_part(input, 4);
    if (!part.empty()) std::memcpy(word, part.data(), part.size());
    return get_i32_le(word);
}

void put_length_prefixed(byte_buffer& out, const byte_buffer& part) {
    put_u32_le(out, static_cast<std::uint32_t>(part.size()));
    out.insert(out.end(), part.begin(), part.end());
}

std::span<const unsigned char> take_length_prefixed(input_parts& input) {
    unsigned char word[4] = {0, 0, 0, 0};
    std::span<const unsigned char> length = take_part(input, 4);
    if (!length.empty()) std::memcpy(word, length.data(), length.size());
    return take_part(input, get_u32_le(word));
}
