# The hardening of a Debian build (dpkg-buildflags with hardening=+all) for
# GCC on ELF systems: fortified functions, stack protector and clash
# protection, format checks, read-only relocations bound at start, PIE. Not
# with the sanitizers, whose interceptors the fortified functions bypass.
option(TESSALDO_HARDENING "Build with the hardening flags of a Debian build (GCC)" ON)
if(TESSALDO_HARDENING AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND UNIX AND NOT APPLE
   AND NOT TESSALDO_SANITIZE)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection
                      -Wformat -Werror=format-security)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    add_compile_options(-fcf-protection)
  endif()
  # Fortification needs the optimiser.
  add_compile_definitions(
    $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
