# sector_export: its parts called directly, and the program run end to end.
add_executable(sector_export_tests
    sector_export_fixtures.cpp
    sector_export_lwob_test.cpp
    sector_export_run_test.cpp
    sector_export_units_test.cpp
)
target_link_libraries(sector_export_tests PRIVATE sector_export_lib map_writers test_support GTest::gtest_main)
target_compile_definitions(sector_export_tests PRIVATE SECTOR_EXPORT_PATH="$<TARGET_FILE:sector_export>")
add_dependencies(sector_export_tests sector_export)
gtest_discover_tests(sector_export_tests)

# The real-reader check: an exported object read by OpenSceneGraph's osgconv. CI installs it;
# where it is missing the test reports itself skipped.
add_executable(sector_export_reader_tests osgconv_check.cpp sector_export_fixtures.cpp sector_export_reader_test.cpp)
target_link_libraries(sector_export_reader_tests PRIVATE map_writers test_support GTest::gtest_main)
target_compile_definitions(sector_export_reader_tests PRIVATE SECTOR_EXPORT_PATH="$<TARGET_FILE:sector_export>")
add_dependencies(sector_export_reader_tests sector_export)
gtest_discover_tests(sector_export_reader_tests)
