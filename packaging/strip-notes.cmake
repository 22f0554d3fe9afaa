# Run by CPack on its staging tree: removes from every ELF file the sections
# that a Debian package does not carry (the compilers' .comment, .note).
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(
      COMMAND "${CPACK_TESSALDO_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "strip failed on ${file}")
    endif()
  endif()
endforeach()
