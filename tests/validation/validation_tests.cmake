find_package(GTest REQUIRED)
include(GoogleTest)

# Runs the integrator for a few hundred forcing periods per case; no display needed.
add_executable(validation_tests ${PROJECT_SOURCE_DIR}/tests/validation/validation_test.cpp)
target_link_libraries(validation_tests PRIVATE vdp_validation GTest::gtest_main)
gtest_discover_tests(validation_tests DISCOVERY_TIMEOUT 60)
