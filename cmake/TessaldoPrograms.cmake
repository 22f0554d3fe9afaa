# Where the programs live: `bin`, `Tessaldo` and the files they expect beside
# them share one directory, in the build tree and in the install.
include(GNUInstallDirs)

set(TESSALDO_PROGRAM_DIR ${PROJECT_BINARY_DIR}/program)
if(WIN32)
  set(TESSALDO_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
else()
  set(TESSALDO_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/tessaldo)
  # The launcher's system directory on POSIX: fixed here, where the install
  # puts it, and compiled into the launcher.
  set(TESSALDO_INSTALL_SYSTEM_DIR ${TESSALDO_INSTALL_PROGRAM_DIR}/system)
  set(TESSALDO_SYSTEM_DIR ${CMAKE_INSTALL_PREFIX}/${TESSALDO_INSTALL_SYSTEM_DIR})
  # The installed launcher: the only program whose elevated step runs, and
  # the one program the rights are asked for.
  set(TESSALDO_INSTALLED_LAUNCHER ${CMAKE_INSTALL_PREFIX}/${TESSALDO_INSTALL_PROGRAM_DIR}/Tessaldo)
endif()

# tessaldo_place_beside_programs(<program target> <file> ...)
# Copies each file beside the programs when <program target> is built, and
# installs it beside the installed programs.
function(tessaldo_place_beside_programs program)
  set(placed)
  foreach(file IN LISTS ARGN)
    get_filename_component(name ${file} NAME)
    add_custom_command(
      OUTPUT ${TESSALDO_PROGRAM_DIR}/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${file} ${TESSALDO_PROGRAM_DIR}/${name}
      DEPENDS ${file}
      COMMENT "Placing ${name} beside the programs")
    list(APPEND placed ${TESSALDO_PROGRAM_DIR}/${name})
  endforeach()
  add_custom_target(${program}_beside ALL DEPENDS ${placed})
  add_dependencies(${program} ${program}_beside)
  install(FILES ${ARGN} DESTINATION ${TESSALDO_INSTALL_PROGRAM_DIR})
endfunction()
