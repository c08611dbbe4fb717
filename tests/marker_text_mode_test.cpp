// Screenshot marker files are read through the project's own text-mode layer (text_stream),
// not through a C runtime's text stream, so that they read the same on every platform. Here
// the layer, through road_merge end to end, meets the Windows C runtime's own text stream
// (fopen "r", fgetc, fseek from the current position) taking the same steps over the same
// CRLF files with Ctrl-Z bytes in them. On Linux the files give the layer's fixed markers;
// under wine the C runtime (the msvcrt.dll that mingw-w64 programs use, wine's own) gives the
// same markers where it follows the layer's rule and, where it does not, its own, pinned here:
//
// - A carriage return that no line feed follows is dropped by the layer and kept by the
//   runtime, so "12<CR>34" is 1234 to the layer and 12 to the runtime.
// - The runtime fills its buffer up to the first Ctrl-Z ahead of the read position but counts
//   its position as if it had read the bytes after the Ctrl-Z too, so every seek made while a
//   Ctrl-Z lies ahead lands that many bytes too far. A Ctrl-Z after the last line makes each
//   seek one byte too long and cuts the first character off lines 2 to 5; a Ctrl-Z inside a line
//   sends the seeks far past it. The layer counts the bytes as stored, from the Ctrl-Z on.
// - A Ctrl-Z that the first seek passes over (in the header) changes nothing for either.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "byte_order.hpp"
#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;

struct marker {
    std::int32_t x;
    std::int32_t z;
    bool operator==(const marker&) const = default;
};

void PrintTo(const marker& m, std::ostream* out) { *out << "(" << m.x << ", " << m.z << ")"; }

struct text_mode_case {
    const char* name;
    std::string bytes;
    marker layer;    // the markers of the file, as its bytes say (both platforms)
    marker runtime;  // what the Windows C runtime's text stream makes of it (under wine)
};

const std::string header(64, '#');
const std::string gap(14, '#');

/// A CRLF marker file: the 66-byte header, then value lines 1 to 5, each but the first after
/// a 16-byte stretch.
std::string crlf_file(const std::string& line_1, const std::string& line_2, const std::string& line_3) {
    return test::marker_file_text({line_1, line_2, line_3, "y", "z"}, "\r\n");
}

std::vector<text_mode_case> cases() {
    const std::string plain = crlf_file("1234.5", "x", "-567.8");
    std::string header_with_ctrl_z = plain;
    header_with_ctrl_z[10] = '\x1A';
    // Line 2 ends at a Ctrl-Z; sixteen bytes from the Ctrl-Z is the start of line 3.
    const std::string ctrl_z_ends_line_2 = header + "\r\n1234.5\r\n" + gap + "\r\nx\x1A" +
                                           std::string(13, '#') + "\r\n-567.8\r\n" + gap + "\r\ny\r\n" + gap +
                                           "\r\nz\r\n";
    return {
        {"CRLF", plain, {1234, -567}, {1234, -567}},
        {"Ctrl-Z in the header", header_with_ctrl_z, {1234, -567}, {1234, -567}},
        {"Ctrl-Z after the last line", plain + "\x1A", {1234, -567}, {1234, 567}},
        {"Ctrl-Z ends line 2", ctrl_z_ends_line_2, {1234, -567}, {1234, 0}},
        {"carriage return inside line 1", crlf_file("12\r34", "x", "-567.8"), {1234, -567}, {12, -567}},
    };
}

std::string marker_name(std::size_t n) {
    char name[32];
    std::snprintf(name, sizeof name, "IMAGE%03zu.TXT", n);
    return name;
}

#if defined(_WIN32)

/// The marker reader's steps over the C runtime's text stream: skip 66 bytes, read line 1,
/// then skip 16 bytes before each of lines 2 to 5; lines 1 to 3 keep 15 characters, lines 4
/// and 5 keep 7, and the rest of a longer line is read past.
marker read_with_the_c_runtime(const fs::path& path) {
    std::FILE* file = std::fopen(path.string().c_str(), "r");
    if (file == nullptr) throw std::runtime_error("cannot open " + path.string());
    auto read_line = [file](std::size_t capacity) {
        std::string line;
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
            if (line.size() + 1 < capacity) line += static_cast<char>(c);
            if (c == '\n') break;
        }
        return line;
    };
    std::fseek(file, 66, SEEK_CUR);
    const std::string line_1 = read_line(16);
    std::fseek(file, 16, SEEK_CUR);
    read_line(16);
    std::fseek(file, 16, SEEK_CUR);
    const std::string line_3 = read_line(16);
    std::fseek(file, 16, SEEK_CUR);
    read_line(8);
    std::fseek(file, 16, SEEK_CUR);
    read_line(8);
    std::fclose(file);
    // The value of a line is its leading number truncated toward zero, as the reader takes it.
    auto value = [](const std::string& line) {
        return static_cast<std::int32_t>(std::trunc(std::strtod(line.c_str(), nullptr)));
    };
    return {value(line_1), value(line_3)};
}

#endif

TEST(MarkerTextMode, LayerReadsTheBytesAsStoredOnEveryPlatform) {
    const fs::path drive = TEST_DRIVE_ROOT;
    const fs::path shots = drive / "Hollowmere" / "vantrel" / "scrnshot";
    fs::remove_all(drive);
    fs::create_directories(shots);
    fs::create_directories(drive / "aGrand");
    test::make_road_file(drive / "aGrand", {});
    const std::vector<text_mode_case> files = cases();
    for (std::size_t n = 0; n < files.size(); ++n) test::write_file(shots / marker_name(n), files[n].bytes);
    test::temp_dir work;

    test::run_result run = test::run_program(ROAD_MERGE_PATH, work.path);

    ASSERT_EQ(run.exit_code, 0) << run.out;
    // The written road file holds one road, the marker road: two attribute words, the point
    // count, then x and z of each marker in centimetres.
    const std::string written = test::read_file(work.path / "Grand.ROAD");
    ASSERT_EQ(written.size(), 16 + 8 * files.size());
    auto word = [&written](std::size_t index) {
        return get_i32_le(reinterpret_cast<const unsigned char*>(written.data()) + 4 * index);
    };
    ASSERT_EQ(word(3), static_cast<std::int32_t>(files.size()));
    for (std::size_t n = 0; n < files.size(); ++n) {
        SCOPED_TRACE(files[n].name);
        EXPECT_EQ((marker{word(4 + 2 * n) / 100, word(5 + 2 * n) / 100}), files[n].layer);
#if defined(_WIN32)
        EXPECT_EQ(read_with_the_c_runtime(shots / marker_name(n)), files[n].runtime);
#endif
    }
    fs::remove_all(drive);
}

}  // namespace
