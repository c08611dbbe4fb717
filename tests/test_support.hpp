#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace test {

namespace fs = std::filesystem;

/// A fresh directory under the system's temporary directory, removed with everything in it
/// when the test ends.
struct temp_dir {
    fs::path path;
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;
};

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, const std::string& bytes);
void write_file(const fs::path& path, const std::vector<unsigned char>& bytes);

/// The names in `dir`, sorted.
std::vector<std::string> file_names(const fs::path& dir);

/// Little-endian int32 words as bytes.
std::string le32(const std::vector<std::int32_t>& words);

/// One road as the road file stores it: its attribute words and points in centimetres.
struct road_fixture {
    std::int32_t attribute_1;
    std::int32_t attribute_2;
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
};

/// The bytes of a road file holding `roads`, from the road tool's own writer.
std::string road_file_bytes(const std::vector<road_fixture>& roads);

/// Writes "Grand.ROAD" holding `roads` into `dir`; returns its bytes.
std::string make_road_file(const fs::path& dir, const std::vector<road_fixture>& roads);

/// A screenshot marker file from the one marker file writer, with `eol` line ends.
std::string marker_file_text(const std::vector<std::string>& value_lines, const std::string& eol = "\n");

/// The empty road table, as at program start.
void clear_road_table();

/// What a program printed and how it ended. On Windows the standard streams are in text
/// mode and each line ends in CR LF there: `out` and `err` hold the text as printed, with
/// each CR LF back to a line feed (a line feed without its CR fails the test).
struct run_result {
    std::string out;
    std::string err;
    int exit_code;  // 128 + signal number when the program was killed (POSIX)
};

struct run_options {
    /// The program's command-line arguments, after its name.
    std::vector<std::string> arguments;
    /// When non-zero, the largest file the program may write (RLIMIT_FSIZE), with SIGXFSZ
    /// ignored so that an over-long write fails with EFBIG instead of killing the program.
    /// POSIX only: Windows has no such limit, and a test that sets one skips itself there.
    long file_size_limit = 0;
};

/// Why a test of a full disk, which needs `run_options::file_size_limit`, cannot run here:
/// none where it can (POSIX).
#if defined(_WIN32)
inline constexpr const char* no_file_size_limit =
    "Windows has no per-process file-size limit to fill a disk with";
#else
inline constexpr const char* no_file_size_limit = nullptr;
#endif

/// Runs `program` in `work_dir` and captures what it did.
run_result run_program(const std::string& program, const fs::path& work_dir, const run_options& options = {});

/// Byte-for-byte comparison that names the first differing offset.
::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected);

}  // namespace test
