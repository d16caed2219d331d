# Key storms and long runs in a real window, and the running program with its integrator's
# allocation made to fail.
if(BUILD_TESTING)
  add_executable(hardening_tests tests/hardening/key_storm_test.cpp tests/hardening/scratch_counter.cpp)
  target_link_libraries(hardening_tests PRIVATE vdp_test_window GTest::gtest_main)
  target_link_options(hardening_tests PRIVATE -Wl,--wrap=calloc,--wrap=free)
  gtest_discover_tests(hardening_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "gl;long" TIMEOUT 1800
               ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1;GALLIUM_DRIVER=llvmpipe")

  # The program itself, with every calloc made from its own code failing.
  add_executable(forced-vdp-failing-alloc app/main.cpp tests/hardening/failing_calloc.cpp)
  target_link_libraries(forced-vdp-failing-alloc PRIVATE vdp_draw)
  target_link_options(forced-vdp-failing-alloc PRIVATE -Wl,--wrap=calloc)
  add_test(NAME program_allocation_failure
           COMMAND ${PROJECT_SOURCE_DIR}/tests/hardening/allocation_failure_test.sh
                   $<TARGET_FILE:forced-vdp-failing-alloc>)
  set_tests_properties(program_allocation_failure PROPERTIES LABELS "gl" TIMEOUT 120)
endif()
