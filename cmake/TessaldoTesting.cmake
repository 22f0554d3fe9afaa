# The tests and the benchmarks are built when what they need is installed, so
# that a plain configure builds both programs with the packages of the run set
# alone. Asked for (-DTESSALDO_TESTS=ON, -DTESSALDO_BENCHMARKS=ON,
# -DTESSALDO_PACKAGE_TEST=ON), a missing tool is an error naming the Debian
# package to install.

# tessaldo_find_tools(<missing var> <program> <package> [<program> <package>...])
# Appends to <missing var> the package of each program not found.
function(tessaldo_find_tools missing)
  set(result ${${missing}})
  while(ARGN)
    list(POP_FRONT ARGN program package)
    string(MAKE_C_IDENTIFIER "TESSALDO_TOOL_${program}" var)
    find_program(${var} ${program})
    mark_as_advanced(${var})
    if(NOT ${var})
      list(APPEND result ${package})
    endif()
  endwhile()
  list(REMOVE_DUPLICATES result)
  set(${missing} ${result} PARENT_SCOPE)
endfunction()

# tessaldo_require(<what> <option> <missing packages...>)
# On when nothing is missing, unless set already; on and missing is an error.
macro(tessaldo_require what option)
  set(missing_packages ${ARGN})
  if(missing_packages)
    set(default OFF)
  else()
    set(default ON)
  endif()
  option(${option} "Build ${what} (default: on when their tools are installed)" ${default})
  if(${option} AND missing_packages)
    list(JOIN missing_packages " " packages)
    message(FATAL_ERROR "${option} is on but ${what} need what is not installed: "
      "apt-get install ${packages} (or: bash scripts/install-deps.sh test)")
  elseif(NOT ${option} AND missing_packages)
    list(JOIN missing_packages " " packages)
    message(STATUS "Leaving out ${what}: to build them, apt-get install ${packages} "
      "and configure again with -D${option}=ON")
  endif()
endmacro()

# The tests: GoogleTest (Debian's build natively, built from the source that
# Debian's googletest package ships when cross-compiling) and, for the Qt
# programs, the desktop entry's checker and the real X server's tools.
set(test_missing)
if(CMAKE_CROSSCOMPILING)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    list(APPEND test_missing googletest)
  endif()
else()
  find_package(GTest QUIET)
  if(NOT GTest_FOUND)
    list(APPEND test_missing libgtest-dev)
  endif()
endif()
if(TESSALDO_GUI AND UNIX AND NOT APPLE)
  tessaldo_find_tools(test_missing
    desktop-file-validate desktop-file-utils
    Xvfb xvfb xdotool xdotool openbox openbox
    xprop x11-utils xwininfo x11-utils convert imagemagick import imagemagick
    dbus-daemon dbus-daemon)
  # The screen reader's client: Python's AT-SPI bindings and the accessibility bus.
  if(NOT EXISTS /usr/lib/python3/dist-packages/pyatspi)
    list(APPEND test_missing python3-pyatspi gir1.2-atspi-2.0)
  endif()
  if(NOT EXISTS /usr/libexec/at-spi-bus-launcher)
    list(APPEND test_missing at-spi2-core)
  endif()
endif()
tessaldo_require("the tests" TESSALDO_TESTS ${test_missing})

set(bench_missing)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    list(APPEND bench_missing libbenchmark-dev)
  endif()
endif()
tessaldo_require("the benchmarks" TESSALDO_BENCHMARKS ${bench_missing})

# The package test: off unless asked for; it installs into the machine.
option(TESSALDO_PACKAGE_TEST "Test the Debian package built by this tree" OFF)
if(TESSALDO_PACKAGE_TEST)
  set(package_missing)
  tessaldo_find_tools(package_missing
    lintian lintian appstreamcli appstream desktop-file-validate desktop-file-utils
    dpkg-shlibdeps dpkg-dev Xvfb xvfb xdotool xdotool cc gcc)
  if(package_missing)
    list(JOIN package_missing " " packages)
    message(FATAL_ERROR "TESSALDO_PACKAGE_TEST is on but the package test needs what is not "
      "installed: apt-get install ${packages} (or: bash scripts/install-deps.sh test)")
  endif()
  enable_testing()
endif()

if(TESSALDO_TESTS)
  enable_testing()
  include(GoogleTest)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # The tests under Wine share the build tree's prefix, which their first start makes.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
        --tests-prefix ${PROJECT_BINARY_DIR}/wineprefix)
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # GoogleTest 1.12 names its targets GTest::... itself; older sources do not.
    foreach(lib gtest gtest_main)
      if(NOT TARGET GTest::${lib})
        add_library(GTest::${lib} ALIAS ${lib})
      endif()
    endforeach()
  endif()
endif()

# tessaldo_add_gtest(<target> SOURCES ... [LIBRARIES ...] [ENVIRONMENT ...] [TIMEOUT s])
# One test executable; natively each test case becomes a ctest test, under an
# emulator the executable is one ctest test (every start of Wine costs).
function(tessaldo_add_gtest target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main)
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
