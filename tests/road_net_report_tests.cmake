# road_net_report: unit tests of its numeric parts and end-to-end runs of the program.
add_executable(road_net_report_tests
    road_net_report_test.cpp
    road_net_report_units_test.cpp
)
target_link_libraries(road_net_report_tests PRIVATE test_support map_writers road_net_report_lib GTest::gtest_main)
target_compile_definitions(road_net_report_tests PRIVATE ROAD_NET_REPORT_PATH="$<TARGET_FILE:road_net_report>")
add_dependencies(road_net_report_tests road_net_report)
gtest_discover_tests(road_net_report_tests)
