# The window, the drawing and the program itself.
add_executable(forced-vdp app/main.cpp)
target_link_libraries(forced-vdp PRIVATE vdp_core)
