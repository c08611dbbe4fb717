#include "node_path_report.hpp"
#include "road_graph_report.hpp"

int main() {
    open_node_and_path_reports();
    write_node_report();
    write_path_report();
    write_road_graph_report();
    close_node_and_path_reports();
    return 0;
}
