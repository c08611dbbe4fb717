// "roads.dat" through its report: the input is the file's bytes. The road graph step reads it
// from the scratch directory and writes "road_data_text.log" there. The node table and its
// link arrays are freed after every input.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "road_graph_report.hpp"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    enter_scratch_directory(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const input_scope scope;
    remove_scratch_file("road_data_text.log");
    write_scratch_file("roads.dat", {data, size});
    // A failure closes the report on its way out, as it does in the program.
    run_until_failure([] { write_road_graph_report(); });
    release_road_graph();
    return 0;
}
