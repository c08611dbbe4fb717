// "ROADS.WP" through its report: the input is the file's bytes. Each input runs the steps of
// the program that concern it, on files in the scratch directory: both reports created, the
// path report written from the file, both reports closed. The path tables are freed after
// every input.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "node_path_report.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    remove_scratch_file("road_node_text.log");
    remove_scratch_file("road_path_text.log");
    write_scratch_file("ROADS.WP", {data, size});
    // A failure closes the open reports on its way out, as it does in the program.
    run_until_failure([] {
        open_node_and_path_reports();
        write_path_report();
        close_node_and_path_reports();
    });
    release_node_and_path_tables();
    return 0;
}
