# Installation into bin/ and a Debian package whose dependencies come from the libraries the
# program links (dpkg-shlibdeps), so that freeglut, libGL and libX11 are named.
include(GNUInstallDirs)
install(TARGETS forced-vdp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME forced-vdp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "forced-vdp maintainers <forced-vdp@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive teaching simulator of the forced Van der Pol oscillator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Type the negative damping ratio, the forcing amplitude and frequency ratio and the initial\n state at a console dialog; a window shows the motion beside the amplitude-frequency\n characteristic from first-harmonic balance.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

if(BUILD_TESTING)
  add_test(NAME package COMMAND ${PROJECT_SOURCE_DIR}/tests/package/package_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package PROPERTIES LABELS "package" RUN_SERIAL ON TIMEOUT 300)
endif()
