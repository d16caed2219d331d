# The headless validation: measurements of the simulated motion against first-harmonic
# balance, and the program that prints them.
add_library(vdp_validation STATIC validation/measure.cpp)
target_link_libraries(vdp_validation PUBLIC vdp_core)

add_executable(vdp-validate validation/vdp_validate.cpp)
target_link_libraries(vdp-validate PRIVATE vdp_validation)

# Its tests join the suite at the end of the top-level list, once CTest has been included
# (and BUILD_TESTING defined) further down it.
function(vdp_add_validation_tests)
  if(BUILD_TESTING)
    include(${PROJECT_SOURCE_DIR}/tests/validation/validation_tests.cmake)
  endif()
endfunction()
cmake_language(DEFER CALL vdp_add_validation_tests)
