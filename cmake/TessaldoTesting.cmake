# GoogleTest for the tests: Debian's build natively, built from the source
# that Debian's googletest package ships when cross-compiling.
if(TESSALDO_TESTS)
  enable_testing()
  include(GoogleTest)
  if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # GoogleTest 1.12 names its targets GTest::... itself; older sources do not.
    foreach(lib gtest gtest_main gmock)
      if(NOT TARGET GTest::${lib})
        add_library(GTest::${lib} ALIAS ${lib})
      endif()
    endforeach()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# tessaldo_add_gtest(<target> SOURCES ... [LIBRARIES ...] [ENVIRONMENT ...] [TIMEOUT s])
# One test executable; natively each test case becomes a ctest test, under an
# emulator the executable is one ctest test (every start of Wine costs).
function(tessaldo_add_gtest target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main GTest::gmock)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${ARG_ENVIRONMENT}")
  else()
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
endfunction()

# tessaldo_add_xvfb_test(<name> <script>)
# A script that runs `bin` on a real X server of its own (Xvfb) and keeps its
# screen grabs in the build tree's artefacts directory.
function(tessaldo_add_xvfb_test name script)
  if(TESSALDO_TESTS AND NOT WIN32)
    add_test(NAME ${name} COMMAND ${script} $<TARGET_FILE:bin> ${PROJECT_BINARY_DIR}/artefacts)
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
  endif()
endfunction()
