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

# The same for the MinGW-w64 programs: stack protector, fortified functions (mingw-w64's headers;
# both need libssp, which the driver links with the rest of the runtime, statically), ASLR with
# 64-bit entropy, NX. Release programs carry no symbols.
if(TESSALDO_HARDENING AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND WIN32)
  add_compile_options(-fstack-protector-strong)
  add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase,--nxcompat,--high-entropy-va
                   $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()
