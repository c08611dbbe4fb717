// The numeric parts of road_net_report, and the checked report writer it streams through.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "point_distance.hpp"
#include "report_writer.hpp"
#include "test_support.hpp"

namespace {

constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

TEST(PointDistance, IsTheIntegerSquareRootOfTheSquaredDistance) {
    struct {
        std::int32_t x1, x2, z1, z2;
        std::int64_t expected;
    } cases[] = {
        {10, 13, -3, 0, 4},  // 10.7, -3.2 to 13.9, 0.5 after truncation: sqrt(18)
        {5, 5, 7, 7, 0},
        {1, 4, 10, 14, 5},  // the arguments are x1, x2, z1, z2
        {4, 1, 14, 10, 5},
        {0, 46340, 0, 0, 46340},
        {0, 46341, 0, 0, 46341},  // its square no longer fits an int32
        {0, 46340, 0, 1, 46340},
        {int32_min, int32_max, 0, 0, 4294967295},
        {int32_max, int32_min, int32_max, int32_min, 6074000998},  // floor((2^32 - 1) sqrt 2)
        {-2000000000, 2000000000, -2000000000, 2000000000, 5656854249},
        // Sums whose double square root rounds up to the next whole number.
        {int32_min, 39630852, 0, 791773497, 2326021303},
        {int32_min, 444894838, 0, 13618752, 2592414257},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << " " << c.x2 << " " << c.z1 << " " << c.z2);
        EXPECT_EQ(point_distance(c.x1, c.x2, c.z1, c.z2), c.expected);
    }
}

TEST(PointDistance, WholeMetresTruncateTowardZero) {
    constexpr float infinity = std::numeric_limits<float>::infinity();
    struct {
        float metres;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {10.7f, 10},
        {-3.2f, -3},
        {-0.9f, 0},
        {0.9f, 0},
        {2147483520.0f, 2147483520},  // the largest float below 2^31
        {2147483648.0f, std::nullopt},
        {-2147483648.0f, int32_min},
        {-2147483904.0f, std::nullopt},  // the next float below -2^31
        {infinity, std::nullopt},
        {-infinity, std::nullopt},
        {std::numeric_limits<float>::quiet_NaN(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.metres);
        EXPECT_EQ(whole_metres(c.metres), c.expected);
    }
}

// The writer's output must be what printf would have written, across many buffer fills.
TEST(ReportWriter, WritesWhatPrintfWouldAcrossBufferFills) {
    test::temp_dir dir;
    std::string path = (dir.path / "report.log").string();
    const double numbers[] = {0.0, -0.0, 0.5, -1e-7, 1e308, -3.4028234663852886e38, std::nan("")};
    std::string expected;
    char line[1024];

    report_writer report;
    ASSERT_TRUE(open_report(report, path.c_str()));
    for (int i = 0; i < 20000; ++i) {
        std::int64_t whole = (i % 3 == 0 ? -1 : 1) * (std::int64_t{1} << (i % 63));
        double number = numbers[i % std::size(numbers)];
        report_int(report, whole);
        report_text(report, "\t");
        report_fixed(report, number);
        report_text(report, "\n");
        std::snprintf(line, sizeof line, "%lld\t%f\n", static_cast<long long>(whole), number);
        expected += line;
    }
    std::string long_text(200000, 'x');
    report_text(report, long_text);
    expected += long_text;
    report_int(report, std::numeric_limits<std::int64_t>::min());
    expected += "-9223372036854775808";
    close_report(report);

    EXPECT_TRUE(test::same_bytes(test::read_file(path), expected));
}

}  // namespace
