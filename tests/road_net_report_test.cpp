// road_net_report run end to end in a fresh directory: the three reports of a small
// network, the missing-file cases, and refusals of bad input.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "road_network_files.hpp"
#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;
using test::file_names;
using test::read_file;
using test::run_program;
using test::same_bytes;
using test::write_file;

const std::string road_net_report = ROAD_NET_REPORT_PATH;

constexpr float infinity = std::numeric_limits<float>::infinity();
constexpr float not_a_number = std::numeric_limits<float>::quiet_NaN();

// The sample network. Node position 0 shows the column order X, Z, Y. Path 0 holds the
// worked example (10.7, -3.2 to 13.9, 0.5 is 4 metres) and two points that differ only in
// Y; path 3 goes from -0.9 to 0.9 (both whole metre 0) and on by 3 and 4 metres; path 4
// spans more metres than an int32 holds.
const std::vector<network_point_entry> sample_nodes{
    {1.5f, 2.25f, -3.75f}, {10.7f, 0.0f, -3.2f}, {-2000000000.0f, 100.125f, 0.001f}};

const std::vector<path_entry> sample_paths{
    {0, 2, 1, {{10.7f, 5.0f, -3.2f}, {13.9f, 6.0f, 0.5f}, {13.9f, 7.5f, 0.5f}}},
    {2, 0, -7, {}},
    {5, 6, 0, {{7.25f, 8.5f, 9.75f}}},
    {1, 1, 3, {{-0.9f, 1.0f, 2.0f}, {0.9f, 1.0f, 2.0f}, {3.5f, 1.0f, -2.5f}}},
    {7, 8, 9, {{-2000000000.0f, 0.0f, -2000000000.0f}, {2000000000.0f, 0.5f, 2000000000.0f}}},
};

const road_graph_entry sample_graph{512.5f,
                                    1024.0f,
                                    {
                                        {16383, 77, {{0, -5}, {16383, 2147483647}}},
                                        {0, -1, {}},
                                        {42, 1000, {{7, -2147483647 - 1}}},
                                    }};

const std::string sample_node_report =
    "number of nodes = 3\n\n"
    "node  X  Z  Y\n\n"
    "0  1.500000  -3.750000  2.250000\n"
    "1  10.700000  -3.200000  0.000000\n"
    "2  -2000000000.000000  0.001000  100.125000\n";

const std::string path_headings = "points  X  Z  Y\n  Distance\n\n";

// The path report: its count lines, then one part per path.
const std::vector<std::string> sample_path_report_parts{
    "number of paths = 5\n\n",
    "path 0  from node 0  to node 2  type = 1  count = 3\n\n" + path_headings +
        "0  10.700000  -3.200000  5.000000\n"
        "\t4 meters\n"
        "1  13.900000  0.500000  6.000000\n"
        "\t0 meters\n"
        "2  13.900000  0.500000  7.500000\n"
        "\n",
    "path 1  from node 2  to node 0  type = -7  count = 0\n\n" + path_headings + "\n",
    "path 2  from node 5  to node 6  type = 0  count = 1\n\n" + path_headings +
        "0  7.250000  9.750000  8.500000\n"
        "\n",
    "path 3  from node 1  to node 1  type = 3  count = 3\n\n" + path_headings +
        "0  -0.900000  2.000000  1.000000\n"
        "\t0 meters\n"
        "1  0.900000  2.000000  1.000000\n"
        "\t5 meters\n"
        "2  3.500000  -2.500000  1.000000\n"
        "\n",
    "path 4  from node 7  to node 8  type = 9  count = 2\n\n" + path_headings +
        "0  -2000000000.000000  -2000000000.000000  0.000000\n"
        "\t5656854249 meters\n"
        "1  2000000000.000000  2000000000.000000  0.500000\n"
        "\n",
};

// The road graph report: its three head lines, then one part per node.
const std::vector<std::string> sample_graph_report_parts{
    "map size 1 = 512.500000\n",
    "map size 2 = 1024.000000\n",
    "Number of road nodes = 3\n\n",
    "\n\t NODE 0\n\nnode  16383\nsafe_radius  28\nnumber_of_links  2\n\ncost\t\tnode\n\n"
    "-5\t\t0\n"
    "2147483647\t\t16383\n",
    "\n\t NODE 1\n\nnode  0\nsafe_radius  28\nnumber_of_links  0\n\ncost\t\tnode\n\n",
    "\n\t NODE 2\n\nnode  42\nsafe_radius  28\nnumber_of_links  1\n\ncost\t\tnode\n\n"
    "-2147483648\t\t7\n",
};

/// The first `count` parts joined; all of them by default.
std::string joined(const std::vector<std::string>& parts, std::size_t count = std::string::npos) {
    std::string text;
    for (std::size_t i = 0; i < parts.size() && i < count; ++i) text += parts[i];
    return text;
}

const std::string sample_path_report = joined(sample_path_report_parts);
const std::string sample_graph_report = joined(sample_graph_report_parts);

std::string as_text(const byte_buffer& bytes) { return std::string(bytes.begin(), bytes.end()); }

const std::string sample_node_file = as_text(encode_node_position_file(sample_nodes));
const std::string sample_path_file = as_text(encode_path_file(sample_paths));
const std::string sample_graph_file = as_text(encode_road_graph_file(sample_graph));

const std::string reports_opened = "road_node_text.log opened\nroad_path_text.log opened\n";
const std::string inputs_opened = reports_opened + "ROADS.NDE opened\nROADS.WP opened\nroads.dat opened\n";
const std::string all_opened = inputs_opened + "road_data_text.log opened\n";

const std::vector<std::string> all_files{"ROADS.NDE",          "ROADS.WP",           "road_data_text.log",
                                         "road_node_text.log", "road_path_text.log", "roads.dat"};

void write_inputs(const fs::path& dir, const std::string& node_file = sample_node_file,
                  const std::string& path_file = sample_path_file,
                  const std::string& graph_file = sample_graph_file) {
    write_file(dir / "ROADS.NDE", node_file);
    write_file(dir / "ROADS.WP", path_file);
    write_file(dir / "roads.dat", graph_file);
}

/// `bytes` with the 32 bits at `offset` replaced by `value`.
template <typename T>
std::string patched(std::string bytes, std::size_t offset, T value) {
    static_assert(sizeof(T) == 4);
    std::uint32_t word;
    std::memcpy(&word, &value, 4);
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(word >> (8 * i));
    return bytes;
}

/// Offset of path `p` in the sample "ROADS.WP", and of X of its point `i`.
std::size_t path_offset(std::size_t p) {
    std::size_t offset = 4;
    for (std::size_t k = 0; k < p; ++k) offset += 16 + 12 * sample_paths[k].points.size();
    return offset;
}
std::size_t point_offset(std::size_t p, std::size_t i) { return path_offset(p) + 16 + 12 * i; }

/// Offset of road node `k` in the sample "roads.dat", and of its link `j`.
std::size_t road_node_offset(std::size_t k) {
    std::size_t offset = 12;
    for (std::size_t n = 0; n < k; ++n) offset += 12 + 8 * sample_graph.nodes[n].links.size();
    return offset;
}
std::size_t link_offset(std::size_t k, std::size_t j) { return road_node_offset(k) + 12 + 8 * j; }

TEST(RoadNetReport, WritesTheThreeReports) {
    test::temp_dir dir;
    write_inputs(dir.path);

    test::run_result run = run_program(road_net_report, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, all_opened);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_node_text.log"), sample_node_report));
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_path_text.log"), sample_path_report));
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_data_text.log"), sample_graph_report));
    EXPECT_EQ(file_names(dir.path), all_files);
}

// Only the X and Z of points that enter a distance must be whole metres in the int32
// range; everything else is printed as it stands. Bytes after the last entry are ignored.
TEST(RoadNetReport, PrintsWhatNoDistanceUsesAsItStands) {
    test::temp_dir dir;
    write_inputs(
        dir.path, as_text(encode_node_position_file({{infinity, not_a_number, -infinity}})) + "trailing",
        as_text(encode_path_file({{1, 2, 3, {{1e10f, -infinity, not_a_number}}},
                                  {4, 5, 6, {{0.5f, not_a_number, 0.5f}, {1.5f, infinity, 0.5f}}}})) +
            "trailing",
        as_text(encode_road_graph_file({-infinity, 1e10f, {{1, 2, {}}}})) + "trailing");

    test::run_result run = run_program(road_net_report, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, all_opened);
    EXPECT_EQ(read_file(dir.path / "road_node_text.log"),
              "number of nodes = 1\n\nnode  X  Z  Y\n\n0  inf  -inf  nan\n");
    EXPECT_EQ(read_file(dir.path / "road_path_text.log"),
              "number of paths = 2\n\n"
              "path 0  from node 1  to node 2  type = 3  count = 1\n\n" +
                  path_headings + "0  10000000000.000000  nan  -inf\n\n" +
                  "path 1  from node 4  to node 5  type = 6  count = 2\n\n" + path_headings +
                  "0  0.500000  0.500000  nan\n\t1 meters\n1  1.500000  0.500000  inf\n\n");
    EXPECT_EQ(read_file(dir.path / "road_data_text.log"),
              "map size 1 = -inf\nmap size 2 = 10000000000.000000\nNumber of road nodes = 1\n\n"
              "\n\t NODE 0\n\nnode  1\nsafe_radius  28\nnumber_of_links  0\n\ncost\t\tnode\n\n");
}

// The largest values the packed records hold: node number 16383 and 127 links.
TEST(RoadNetReport, AcceptsTheLargestPackedValues) {
    test::temp_dir dir;
    road_node_entry node{16383, 0, std::vector<road_link_entry>(127, {16383, 1})};
    write_inputs(dir.path, sample_node_file, sample_path_file,
                 as_text(encode_road_graph_file({0.0f, 0.0f, {node}})));

    test::run_result run = run_program(road_net_report, dir.path);

    EXPECT_EQ(run.exit_code, 0);
    std::string links;
    for (int j = 0; j < 127; ++j) links += "1\t\t16383\n";
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_data_text.log"),
                           "map size 1 = 0.000000\nmap size 2 = 0.000000\nNumber of road nodes = 1\n\n"
                           "\n\t NODE 0\n\nnode  16383\nsafe_radius  28\nnumber_of_links  127\n\n"
                           "cost\t\tnode\n\n" +
                               links));
}

// Reports are created (or emptied) in place as they are opened, before any input is read;
// what a run that cannot open a file leaves depends on how far it got.
TEST(RoadNetReport, MissingFiles) {
    const std::string stale = "stale report\n";
    struct {
        const char* missing;    // an input that is not there
        const char* directory;  // a report that cannot be created
        std::string console;
        std::string node_report;
        std::string path_report;
    } cases[] = {
        {"", "road_node_text.log", "cannot open road_node_text.log\n", "", stale},
        {"", "road_path_text.log", "road_node_text.log opened\ncannot open road_path_text.log\n", "", ""},
        {"ROADS.NDE", "", reports_opened + "cannot open ROADS.NDE\n", "", ""},
        {"ROADS.WP", "", reports_opened + "ROADS.NDE opened\ncannot open ROADS.WP\n", sample_node_report, ""},
        {"roads.dat", "", reports_opened + "ROADS.NDE opened\nROADS.WP opened\ncannot open roads.dat\n",
         sample_node_report, sample_path_report},
        {"", "road_data_text.log", inputs_opened + "cannot open road_data_text.log\n", sample_node_report,
         sample_path_report},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.console);
        test::temp_dir dir;
        write_inputs(dir.path);
        if (c.missing[0] != '\0') fs::remove(dir.path / c.missing);
        for (const char* report : {"road_node_text.log", "road_path_text.log", "road_data_text.log"}) {
            if (std::strcmp(report, c.directory) == 0) {
                fs::create_directory(dir.path / report);
            } else {
                write_file(dir.path / report, stale);
            }
        }

        test::run_result run = run_program(road_net_report, dir.path);

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, c.console);
        EXPECT_EQ(run.err, "");
        std::vector<std::string> names = all_files;
        std::erase(names, c.missing);
        EXPECT_EQ(file_names(dir.path), names);
        // The report that could not be created is a directory; the graph report is never
        // touched when the run stops before it.
        if (std::strcmp(c.directory, "road_node_text.log") != 0) {
            EXPECT_EQ(read_file(dir.path / "road_node_text.log"), c.node_report);
        }
        if (std::strcmp(c.directory, "road_path_text.log") != 0) {
            EXPECT_EQ(read_file(dir.path / "road_path_text.log"), c.path_report);
        }
        if (std::strcmp(c.directory, "road_data_text.log") != 0) {
            EXPECT_EQ(read_file(dir.path / "road_data_text.log"), stale);
        }
    }
}

TEST(RoadNetReport, StopsWhenThereAreNoRoadNodes) {
    test::temp_dir dir;
    write_inputs(dir.path, sample_node_file, sample_path_file,
                 as_text(encode_road_graph_file({512.5f, 1024.0f, {}})) + "ignored");

    test::run_result run = run_program(road_net_report, dir.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, all_opened + "number_of_road_nodes == 0\n");
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_node_text.log"), sample_node_report));
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_path_text.log"), sample_path_report));
    EXPECT_EQ(read_file(dir.path / "road_data_text.log"),
              "map size 1 = 512.500000\nmap size 2 = 1024.000000\nNumber of road nodes = 0\n\n");
}

// Reports larger than the writer's buffer stream out whole, also when a later step fails.
TEST(RoadNetReport, LargeReportsAreWrittenOutOnFailure) {
    constexpr int count = 5000;
    std::vector<network_point_entry> nodes;
    path_entry path{1, 2, 3, {}};
    std::string node_report = "number of nodes = " + std::to_string(count) + "\n\nnode  X  Z  Y\n\n";
    std::string path_report =
        "number of paths = 1\n\npath 0  from node 1  to node 2  type = 3  count = " + std::to_string(count) +
        "\n\n" + path_headings;
    for (int k = 0; k < count; ++k) {
        float x = static_cast<float>(k);
        nodes.push_back({x, 0.5f, x + 0.25f});
        path.points.push_back({0.0f, 0.5f, 3.0f * x});
        std::string number = std::to_string(k);
        node_report += number + "  " + number + ".000000  " + number + ".250000  0.500000\n";
        if (k > 0) path_report += "\t3 meters\n";
        path_report += number + "  0.000000  " + std::to_string(3 * k) + ".000000  0.500000\n";
    }
    path_report += "\n";
    test::temp_dir dir;
    write_inputs(dir.path, as_text(encode_node_position_file(nodes)), as_text(encode_path_file({path})));
    fs::remove(dir.path / "roads.dat");

    test::run_result run = run_program(road_net_report, dir.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, reports_opened + "ROADS.NDE opened\nROADS.WP opened\ncannot open roads.dat\n");
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_node_text.log"), node_report));
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_path_text.log"), path_report));
}

/// The integer square root, by bisection: the largest r with r * r <= n, for n below 2^62.
std::int64_t integer_square_root(std::int64_t n) {
    std::int64_t low = 0;
    std::int64_t high = std::int64_t{1} << 31;
    while (low < high) {
        const std::int64_t middle = (low + high + 1) / 2;
        if (middle * middle <= n) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

/// The report part of `path` as printf and a bisected square root give it.
std::string expected_path_part(int p, const path_entry& path) {
    std::string text = "path " + std::to_string(p) + "  from node " + std::to_string(path.from_node) +
                       "  to node " + std::to_string(path.to_node) + "  type = " + std::to_string(path.type) +
                       "  count = " + std::to_string(path.points.size()) + "\n\n" + path_headings;
    char line[200];
    for (std::size_t i = 0; i < path.points.size(); ++i) {
        const network_point_entry& point = path.points[i];
        if (i > 0) {
            const network_point_entry& earlier = path.points[i - 1];
            const std::int64_t dx =
                static_cast<std::int32_t>(point.x) - std::int64_t{static_cast<std::int32_t>(earlier.x)};
            const std::int64_t dz =
                static_cast<std::int32_t>(point.z) - std::int64_t{static_cast<std::int32_t>(earlier.z)};
            std::snprintf(line, sizeof line, "\t%lld meters\n",
                          static_cast<long long>(integer_square_root(dx * dx + dz * dz)));
            text += line;
        }
        std::snprintf(line, sizeof line, "%zu  %f  %f  %f\n", i, static_cast<double>(point.x),
                      static_cast<double>(point.z), static_cast<double>(point.y));
        text += line;
    }
    return text + "\n";
}

/// A path of `count` points that wander in every direction, by steps of many sizes.
path_entry wandering_path(int count, int seed) {
    path_entry path{seed, seed + 1, 2, {}};
    std::uint32_t state = static_cast<std::uint32_t>(seed) * 2654435761u + 1;
    float x = 1000.25f * static_cast<float>(seed);
    float z = -517.5f;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        x += static_cast<float>(static_cast<int>(state >> 20) - 2048) * 0.37f;
        z -= static_cast<float>(static_cast<int>(state & 0xFFF) - 2000) * 1.13f;
        path.points.push_back({x, static_cast<float>(i) * 0.001f - 3.0f, z});
    }
    return path;
}

// Long paths are formatted a chunk at a time on two threads: the report is the same, every
// line in order (the distance at each chunk's first point goes back to the chunk before),
// also when a later path is refused or a write fails while both threads are at work.
TEST(RoadNetReport, LongPathsAreReportedWhole) {
    const std::vector<path_entry> paths{wandering_path(3 * 4096 + 1000, 1), wandering_path(8192, 2),
                                        wandering_path(4097, 3), wandering_path(2, 4)};
    std::string path_report = "number of paths = 4\n\n";
    std::vector<std::size_t> part_ends;
    for (std::size_t p = 0; p < paths.size(); ++p) {
        path_report += expected_path_part(static_cast<int>(p), paths[p]);
        part_ends.push_back(path_report.size());
    }
    const std::string path_file = as_text(encode_path_file(paths));
    // Point 1 of the last path is 16 + 12 bytes before the end of the file.
    const std::string refused_file = patched(path_file, path_file.size() - 12, not_a_number);
    const std::string write_failed =
        reports_opened +
        "ROADS.NDE opened\nROADS.WP opened\ncannot write road_path_text.log (File too large)\n";
    struct {
        const std::string& file;
        long limit;
        std::string console;
        std::size_t report_size;
    } cases[] = {
        {path_file, 0, all_opened, path_report.size()},
        {refused_file, 0,
         reports_opened + "ROADS.NDE opened\nROADS.WP opened\n"
                          "ROADS.WP: X of point 1 of path 3 is not a finite number\n",
         part_ends[2]},
        // In a chunk the main thread formats while the helper formats the next, and in one the
        // helper formatted.
        {path_file, 100000, write_failed, 100000},
        {path_file, 400000, write_failed, 400000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.console);
        if (c.limit != 0 && test::no_file_size_limit) continue;
        test::temp_dir dir;
        write_inputs(dir.path, sample_node_file, c.file);

        test::run_result run =
            run_program(road_net_report, dir.path, {.arguments = {}, .file_size_limit = c.limit});

        EXPECT_EQ(run.exit_code, c.console == all_opened ? 0 : 1);
        EXPECT_EQ(run.out, c.console);
        EXPECT_TRUE(
            same_bytes(read_file(dir.path / "road_path_text.log"), path_report.substr(0, c.report_size)));
    }
}

// A report that cannot be written stops the run with a message, whether the write fails
// as the buffer fills, when the report is closed, or when a failure writes it out.
TEST(RoadNetReport, FailedWritesAreReported) {
    if (test::no_file_size_limit) GTEST_SKIP() << test::no_file_size_limit;
    std::vector<network_point_entry> many_nodes(3000, {1.0f, 2.0f, 3.0f});
    struct {
        long limit;
        std::string node_file;
        bool graph_file;
        std::string console;
    } cases[] = {
        {4096, as_text(encode_node_position_file(many_nodes)), true,
         reports_opened + "ROADS.NDE opened\ncannot write road_node_text.log (File too large)\n"},
        {500, sample_node_file, true, all_opened + "cannot write road_path_text.log (File too large)\n"},
        {500, sample_node_file, false,
         reports_opened + "ROADS.NDE opened\nROADS.WP opened\ncannot open roads.dat\n"
                          "cannot write road_path_text.log (File too large)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.console);
        test::temp_dir dir;
        write_inputs(dir.path, c.node_file);
        if (!c.graph_file) fs::remove(dir.path / "roads.dat");

        test::run_result run =
            run_program(road_net_report, dir.path, {.arguments = {}, .file_size_limit = c.limit});

        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, c.console);
        EXPECT_EQ(read_file(dir.path / "road_path_text.log"),
                  sample_path_report.substr(0, c.node_file == sample_node_file ? c.limit : 0));
    }
}

// Which input is bad, how, and how many parts of its report are written before the run
// stops (the reports of the inputs before it are complete).
struct bad_input {
    const char* file;
    std::string bytes;
    std::string message;
    std::size_t report_parts_kept;
};

/// Runs the program with `input` in place of the sample's file of that name and checks the
/// message and every report.
void expect_refused(const bad_input& input) {
    test::temp_dir dir;
    write_inputs(dir.path);
    write_file(dir.path / input.file, input.bytes);

    test::run_result run = run_program(road_net_report, dir.path);

    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "");
    std::string file = input.file;
    std::string console = reports_opened + "ROADS.NDE opened\n";
    std::string node_report;
    std::string path_report;
    if (file != "ROADS.NDE") {
        console += "ROADS.WP opened\n";
        node_report = sample_node_report;
        path_report = joined(sample_path_report_parts, input.report_parts_kept);
    }
    if (file == "roads.dat") {
        console += "roads.dat opened\nroad_data_text.log opened\n";
        path_report = sample_path_report;
        EXPECT_TRUE(same_bytes(read_file(dir.path / "road_data_text.log"),
                               joined(sample_graph_report_parts, input.report_parts_kept)));
    }
    EXPECT_EQ(run.out, console + input.message + "\n");
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_node_text.log"), node_report));
    EXPECT_TRUE(same_bytes(read_file(dir.path / "road_path_text.log"), path_report));
    std::vector<std::string> names = all_files;
    if (file != "roads.dat") std::erase(names, "road_data_text.log");
    EXPECT_EQ(file_names(dir.path), names);
}

TEST(RoadNetReport, RefusesBadInput) {
    const std::string& nde = sample_node_file;
    const std::string& wp = sample_path_file;
    const std::string& dat = sample_graph_file;
    const bad_input cases[] = {
        {"ROADS.NDE", "", "ROADS.NDE: file ends before the number of nodes", 0},
        {"ROADS.NDE", test::le32({-1}), "ROADS.NDE: number of nodes -1 is negative", 0},
        {"ROADS.NDE", test::le32({-2147483647 - 1}), "ROADS.NDE: number of nodes -2147483648 is negative", 0},
        {"ROADS.NDE", patched(nde, 0, 4), "ROADS.NDE: file ends inside node position 3", 0},
        {"ROADS.NDE", nde.substr(0, nde.size() - 1), "ROADS.NDE: file ends inside node position 2", 0},
        {"ROADS.NDE", test::le32({2147483647}), "ROADS.NDE: file ends inside node position 0", 0},

        {"ROADS.WP", "", "ROADS.WP: file ends before the number of paths", 0},
        {"ROADS.WP", test::le32({-1}), "ROADS.WP: number of paths -1 is negative", 0},
        {"ROADS.WP", patched(wp, 0, 2147483647), "ROADS.WP: file too short for 2147483647 paths", 0},
        {"ROADS.WP", wp.substr(0, path_offset(4) + 8), "ROADS.WP: file ends inside path 4", 1},
        {"ROADS.WP", patched(wp, path_offset(3) + 12, -1), "ROADS.WP: path 3 has a negative count (-1)", 1},
        {"ROADS.WP", patched(wp, path_offset(3) + 12, 2147483647), "ROADS.WP: file ends inside path 3", 1},
        {"ROADS.WP", patched(wp, point_offset(4, 1), not_a_number),
         "ROADS.WP: X of point 1 of path 4 is not a finite number", 1 + 4},
        {"ROADS.WP", patched(wp, point_offset(3, 2), -infinity),
         "ROADS.WP: X of point 2 of path 3 is not a finite number", 1 + 3},
        {"ROADS.WP", patched(wp, point_offset(0, 0) + 8, 3e9f),
         "ROADS.WP: Z of point 0 of path 0 (3000000000.000000) does not fit a 32-bit integer", 1},
        {"ROADS.WP", patched(wp, point_offset(4, 0), 2147483648.0f),
         "ROADS.WP: X of point 0 of path 4 (2147483648.000000) does not fit a 32-bit integer", 1 + 4},

        {"roads.dat", "", "roads.dat: file ends before map size 1", 0},
        {"roads.dat", dat.substr(0, 6), "roads.dat: file ends before map size 2", 1},
        {"roads.dat", dat.substr(0, 8), "roads.dat: file ends before the number of road nodes", 2},
        {"roads.dat", patched(dat, 8, -1), "roads.dat: number of road nodes -1 is negative", 2},
        {"roads.dat", patched(dat, 8, 6), "roads.dat: file too short for 6 road nodes", 2},
        {"roads.dat", dat.substr(0, road_node_offset(2) + 4), "roads.dat: file ends inside road node 2",
         3 + 2},
        {"roads.dat", patched(dat, road_node_offset(0), -1),
         "roads.dat: road node 0 has node number -1, outside 0 to 16383", 3},
        {"roads.dat", patched(dat, road_node_offset(1), 16384),
         "roads.dat: road node 1 has node number 16384, outside 0 to 16383", 3 + 1},
        {"roads.dat", patched(dat, road_node_offset(1) + 8, -1),
         "roads.dat: road node 1 has a negative number of links (-1)", 3 + 1},
        {"roads.dat", patched(dat, road_node_offset(2) + 8, 128),
         "roads.dat: road node 2 has 128 links, more than 127", 3 + 2},
        {"roads.dat", patched(dat, road_node_offset(2) + 8, 2), "roads.dat: file ends inside road node 2",
         3 + 2},
        {"roads.dat", patched(dat, link_offset(0, 1), 16384),
         "roads.dat: link 1 of road node 0 goes to node number 16384, outside 0 to 16383", 3},
        {"roads.dat", patched(dat, link_offset(2, 0), -5),
         "roads.dat: link 0 of road node 2 goes to node number -5, outside 0 to 16383", 3 + 2},
    };
    for (const bad_input& c : cases) {
        SCOPED_TRACE(c.message);
        expect_refused(c);
    }
}

// Every cut of each input stops the run with a message naming the file, and leaves in its
// report only whole parts: the count lines and the entries before the cut one.
TEST(RoadNetReport, RefusesEveryCutOfEachInput) {
    struct {
        const char* file;
        const std::string& bytes;
        const std::vector<std::string>& report_parts;
        const char* report;
    } inputs[] = {
        {"ROADS.NDE", sample_node_file, {sample_node_report}, "road_node_text.log"},
        {"ROADS.WP", sample_path_file, sample_path_report_parts, "road_path_text.log"},
        {"roads.dat", sample_graph_file, sample_graph_report_parts, "road_data_text.log"},
    };
    for (const auto& input : inputs) {
        for (std::size_t size = 0; size < input.bytes.size(); ++size) {
            SCOPED_TRACE(testing::Message() << input.file << " cut to " << size << " bytes");
            test::temp_dir dir;
            write_inputs(dir.path);
            write_file(dir.path / input.file, input.bytes.substr(0, size));

            test::run_result run = run_program(road_net_report, dir.path);

            EXPECT_EQ(run.exit_code, 1);
            EXPECT_NE(run.out.find(std::string("\n") + input.file + ": "), std::string::npos) << run.out;
            std::string report = read_file(dir.path / input.report);
            bool whole_parts = false;
            for (std::size_t kept = 0; kept < input.report_parts.size(); ++kept)
                whole_parts = whole_parts || report == joined(input.report_parts, kept);
            EXPECT_TRUE(whole_parts) << report;
        }
    }
}

}  // namespace
