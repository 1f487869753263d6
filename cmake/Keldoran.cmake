# Helpers shared by every folder's CMakeLists.txt.

# keldoran_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One test program per call; its GoogleTest cases are registered with CTest.
# The test main runs Qt offscreen with a private runtime folder, so no display
# is needed; KELDORAN_BIN_DIR tells tests where the built programs lie.
function(keldoran_test name)
  if(NOT KELDORAN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE keldoran_test_support ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE KELDORAN_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
                                             KELDORAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300
  )
endfunction()
