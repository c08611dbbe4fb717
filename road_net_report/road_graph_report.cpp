#include "road_graph_report.hpp"

#include <bit>
#include <cstddef>

#include "fail.hpp"
#include "network_files.hpp"

graph_node* road_nodes;
std::int32_t number_of_road_nodes;

report_writer graph_report;

namespace {

constexpr const char* graph_file_name = "roads.dat";
constexpr const char* graph_report_name = "road_data_text.log";
constexpr std::size_t node_header_size = 12;
constexpr std::size_t link_size = 8;

static_assert(sizeof(graph_link) == 8, "a link is two 32-bit words");
static_assert(sizeof(graph_node) == 8 + sizeof(graph_link*), "a node is two 32-bit words and a reference");

stream_reader graph_input;

float take_map_size(stream_reader& reader, const char* which) {
    if (bytes_left(reader) < 4) fail("%s: file ends before map size %s", graph_file_name, which);
    return take_f32_le(reader);
}

void report_map_size(const char* which, float size) {
    report_text(graph_report, "map size ");
    report_text(graph_report, which);
    report_text(graph_report, " = ");
    report_fixed(graph_report, size);
    report_text(graph_report, "\n");
}

/// Reads node entry `k`, links included, into `record`. Every value is checked against the
/// packed fields before the node's lines are written, so the stored values are the file's.
void read_node_entry(stream_reader& reader, std::int32_t k, graph_node& record) {
    if (bytes_left(reader) < node_header_size) fail("%s: file ends inside road node %d", graph_file_name, k);
    std::int32_t node = take_i32_le(reader);
    take_i32_le(reader);  // ignored_value
    std::int32_t links = take_i32_le(reader);
    if (node < 0 || node > max_graph_node_number) {
        fail("%s: road node %d has node number %d, outside 0 to %d", graph_file_name, k, node,
             max_graph_node_number);
    }
    if (links < 0) fail("%s: road node %d has a negative number of links (%d)", graph_file_name, k, links);
    if (links > max_number_of_links) {
        fail("%s: road node %d has %d links, more than %d", graph_file_name, k, links, max_number_of_links);
    }
    if (bytes_left(reader) / link_size < static_cast<std::uint64_t>(links)) {
        fail("%s: file ends inside road node %d", graph_file_name, k);
    }
    record.node = static_cast<std::uint32_t>(node);
    record.safe_radius = safe_radius_value;
    record.number_of_links = static_cast<std::uint32_t>(links);
    record.node_preset_bits = node_preset_pattern;
    record.links = allocate_table<graph_link>(record.number_of_links + 1u, graph_file_name, "links");
    for (std::uint32_t j = 0; j < record.number_of_links; ++j) {
        std::int32_t target = take_i32_le(reader);
        if (target < 0 || target > max_graph_node_number) {
            fail("%s: link %u of road node %d goes to node number %d, outside 0 to %d", graph_file_name, j, k,
                 target, max_graph_node_number);
        }
        graph_link& link = record.links[j];
        link.node = static_cast<std::uint32_t>(target);
        link.cost = take_i32_le(reader);
        link.link_preset_bits = 0;
    }
}

void report_road_node(std::int32_t k, const graph_node& record) {
    report_text(graph_report, "\n\t NODE ");
    report_int(graph_report, k);
    report_text(graph_report, "\n\nnode  ");
    report_int(graph_report, record.node);
    report_text(graph_report, "\nsafe_radius  ");
    report_int(graph_report, record.safe_radius);
    report_text(graph_report, "\nnumber_of_links  ");
    report_int(graph_report, record.number_of_links);
    report_text(graph_report, "\n\ncost\t\tnode\n\n");
    for (std::uint32_t j = 0; j < record.number_of_links; ++j) {
        report_int(graph_report, record.links[j].cost);
        report_text(graph_report, "\t\t");
        report_int(graph_report, record.links[j].node);
        report_text(graph_report, "\n");
    }
}

}  // namespace

int write_road_graph_report() {
    stream_reader& reader = graph_input;
    open_network_input(graph_file_name, reader);
    // Created as soon as "roads.dat" is open, whatever the rest of it holds.
    open_network_report(graph_report, graph_report_name);

    report_map_size("1", take_map_size(reader, "1"));
    report_map_size("2", take_map_size(reader, "2"));

    if (bytes_left(reader) < 4) fail("%s: file ends before the number of road nodes", graph_file_name);
    std::int32_t count = take_i32_le(reader);
    if (count < 0) fail("%s: number of road nodes %d is negative", graph_file_name, count);
    // Every node entry is at least 12 bytes.
    if (bytes_left(reader) / node_header_size < static_cast<std::uint64_t>(count)) {
        fail("%s: file too short for %d road nodes", graph_file_name, count);
    }
    number_of_road_nodes = count;
    report_text(graph_report, "Number of road nodes = ");
    report_int(graph_report, number_of_road_nodes);
    report_text(graph_report, "\n\n");
    if (number_of_road_nodes == 0) fail("number_of_road_nodes == 0");

    road_nodes = allocate_table<graph_node>(static_cast<std::size_t>(number_of_road_nodes), graph_file_name,
                                            "road nodes");
    std::int32_t k = 0;
    for (std::int32_t remaining = number_of_road_nodes; remaining != 0; --remaining) {
        read_node_entry(reader, k, road_nodes[k]);
        report_road_node(k, road_nodes[k]);
        ++k;
    }
    close_stream_reader(reader);
    close_report(graph_report);
    return 0;
}

void release_road_graph() {
    if (road_nodes != nullptr) {
        for (std::int32_t k = 0; k < number_of_road_nodes; ++k) delete[] road_nodes[k].links;
    }
    delete[] road_nodes;
    road_nodes = nullptr;
    number_of_road_nodes = 0;
}
