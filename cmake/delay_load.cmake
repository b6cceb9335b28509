# Delay-loading: a DLL that the program needs only for some commands is
# loaded on its first use instead of at start-up. MinGW-w64's dlltool makes
# an import library whose calls go through the delay-load helper; the .def
# file lists the functions the program calls.
find_program(PARLIVO_DLLTOOL NAMES ${MINGW_TRIPLET}-dlltool dlltool REQUIRED)

function(parlivo_delay_load target dll)
  set(def ${PROJECT_SOURCE_DIR}/cmake/delay_load/${dll}.def)
  set(lib ${PROJECT_BINARY_DIR}/lib${dll}_delay.a)
  if(NOT TARGET ${dll}_delay_import)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${PARLIVO_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
      DEPENDS ${def}
      COMMENT "Delay-load import library for ${dll}.dll")
    add_custom_target(${dll}_delay_import DEPENDS ${lib})
  endif()
  add_dependencies(${target} ${dll}_delay_import)
  # Ahead of the system's own import libraries, so the calls bind to it.
  target_link_libraries(${target} PRIVATE ${lib} delayimp)
endfunction()
