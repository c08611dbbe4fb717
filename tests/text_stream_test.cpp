#include "text_stream.hpp"

#include <gtest/gtest.h>

#include <string>

#include "test_support.hpp"

namespace {

text_stream stream_of(const std::string& bytes) {
    return text_stream{byte_buffer(bytes.begin(), bytes.end()), 0};
}

std::string read_all(text_stream& stream) {
    std::string text;
    for (int c = text_getc(stream); c != text_end_of_file; c = text_getc(stream))
        text += static_cast<char>(c);
    return text;
}

TEST(TextStream, DropsCarriageReturnsAndStopsAtCtrlZ) {
    struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"ab\r\ncd\r\n", "ab\ncd\n"},
        {"a\rb\r\r\n", "ab\n"},  // every carriage return goes, not only those before a line feed
        {"ab\x1A"
         "cd",
         "ab"},
        {"\r\x1A"
         "cd",
         ""},
        {"ab\r", "ab"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        text_stream stream = stream_of(c.bytes);
        EXPECT_EQ(read_all(stream), c.text);
    }
}

TEST(TextStream, CtrlZStaysTheEndUntilASkipPassesIt) {
    text_stream stream = stream_of(
        "ab\x1A"
        "cdef");
    EXPECT_EQ(read_all(stream), "ab");
    EXPECT_EQ(text_getc(stream), text_end_of_file);
    text_skip(stream, 2);  // the Ctrl-Z and 'c'
    EXPECT_EQ(read_all(stream), "def");
}

TEST(TextStream, SkipsCountRawBytes) {
    text_stream stream = stream_of("a\r\nb\r\ncd");
    EXPECT_EQ(text_getc(stream), 'a');
    EXPECT_EQ(text_getc(stream), '\n');
    text_skip(stream, 3);  // 'b', CR, LF
    EXPECT_EQ(text_getc(stream), 'c');
    text_skip(stream, 100);
    EXPECT_EQ(text_getc(stream), text_end_of_file);
}

TEST(TextStream, OpensFilesAndReportsMissingOnes) {
    test::temp_dir dir;
    test::write_file(dir.path / "a.txt", "x\r\ny");
    text_stream stream;
    ASSERT_TRUE(open_text_stream((dir.path / "a.txt").string().c_str(), stream));
    EXPECT_EQ(read_all(stream), "x\ny");
    EXPECT_FALSE(open_text_stream((dir.path / "missing.txt").string().c_str(), stream));
}

}  // namespace
