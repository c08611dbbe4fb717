#include "screenshot_markers.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

text_stream stream_of(const std::string& bytes) {
    return text_stream{byte_buffer(bytes.begin(), bytes.end()), 0};
}

TEST(MarkerValueLine, KeepsWhatFitsAndReadsPastTheRest) {
    struct {
        std::string bytes;
        std::size_t capacity;
        std::string line;
        std::string left;  // what the next reads see
    } cases[] = {
        {"12\nrest", 16, "12\n", "rest"},
        {"12\r\nrest", 16, "12\n", "rest"},
        {"123456789012345678\nrest", 16, "123456789012345", "rest"},
        {"12345678\nrest", 8, "1234567", "rest"},
        {"123456\nrest", 8, "123456\n", "rest"},
        {"12", 16, "12", ""},
        {"12\x1A"
         "3\n",
         16, "12",
         "\x1A"
         "3\n"},
        {"", 8, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        text_stream stream = stream_of(c.bytes);
        char buffer[32];
        std::memset(buffer, '?', sizeof buffer);
        read_value_line(stream, buffer, c.capacity);
        EXPECT_EQ(std::string(buffer), c.line);
        EXPECT_EQ(buffer[c.capacity], '?') << "written past the buffer";
        EXPECT_EQ(std::string(stream.bytes.begin() + static_cast<std::ptrdiff_t>(stream.position),
                              stream.bytes.end()),
                  c.left);
    }
}

TEST(MarkerValueLine, CoordinateIsTheLeadingNumberTruncated) {
    struct {
        const char* line;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"  -1234.9\n", -1234},
        {"1234.9 m\n", 1234},
        {"Position\n", 0},
        {"\n", 0},
        {"0.99\n", 0},
        {"-0.99\n", 0},
        {"+12e2x\n", 1200},
        {"21474836.9\n", 21474836},
        {"-21474836.9\n", -21474836},
        // The road file stores a marker's metres times 100 in an int32.
        {"21474837\n", std::nullopt},
        {"1e300\n", std::nullopt},
        {"-inf\n", std::nullopt},
        {"nan\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(marker_coordinate(c.line), c.value);
    }
}

}  // namespace
