# The window, the drawing and the program itself; their tests and the frame benchmark.
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
find_package(GLUT REQUIRED)
find_package(X11 REQUIRED)

# Everything that draws or answers the window.
add_library(vdp_draw STATIC
  display/primitives.cpp display/picture.cpp display/frame.cpp
  response/curve_plot.cpp
  app/window.cpp app/keyboard.cpp)
target_link_libraries(vdp_draw PUBLIC vdp_core GLUT::GLUT OpenGL::GL PRIVATE OpenGL::GLX X11::X11)

# main() and nothing else.
add_executable(forced-vdp app/main.cpp)
target_link_libraries(forced-vdp PRIVATE vdp_draw)

if(BUILD_TESTING)
  find_package(GTest REQUIRED)
  include(GoogleTest)

  # Drawing tests: one real window per test process, pixels read back from the back buffer.
  add_library(vdp_test_window STATIC tests/support/gl_window.cpp tests/support/dialog_io.cpp)
  target_link_libraries(vdp_test_window PUBLIC vdp_draw GTest::gtest)
  target_compile_definitions(vdp_test_window PRIVATE VDP_TEST_OUTPUT_DIR="${CMAKE_BINARY_DIR}")

  add_executable(draw_tests
    tests/display/primitives_test.cpp
    tests/display/picture_test.cpp
    tests/display/curve_plot_test.cpp
    tests/display/frame_test.cpp
    tests/display/keyboard_test.cpp
    tests/display/canonical_frames_test.cpp)
  target_link_libraries(draw_tests PRIVATE vdp_test_window GTest::gtest_main)
  gtest_discover_tests(draw_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS gl ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1;GALLIUM_DRIVER=llvmpipe")
endif()

if(BUILD_TESTING)
  # The real program under an X server of its own: console, window, keys, title, pixels.
  add_executable(window_probe tests/e2e/window_probe.cpp)
  target_link_libraries(window_probe PRIVATE X11::X11)
  add_test(NAME program_window
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/e2e/window_test.sh
            $<TARGET_FILE:forced-vdp> $<TARGET_FILE:window_probe> ${CMAKE_BINARY_DIR})
  set_tests_properties(program_window PROPERTIES LABELS "e2e" TIMEOUT 120)
endif()

if(VDP_BENCHMARKS)
  find_package(benchmark REQUIRED)
  # One whole frame under an X server (xvfb-run), run by scripts/bench.sh.
  add_executable(frame_bench bench/frame_bench.cpp)
  target_link_libraries(frame_bench PRIVATE vdp_draw benchmark::benchmark)
endif()
