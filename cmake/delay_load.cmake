# Delay-loading: a DLL that the program needs only for some commands is
# loaded on its first use instead of at start-up. MinGW-w64's dlltool makes
# an import library whose calls go through the delay-load helper; the .def
# file lists the functions the program calls.
find_program(PARLIVO_DLLTOOL NAMES ${MINGW_TRIPLET}-dlltool dlltool REQUIRED)

function(parlivo_delay_load target dll)
  set(def ${PROJECT_SOURCE_DIR}/cmake/delay_load/${dll}.def)
  # Beside the target's own build files: the linker orders import tables by
  # the path of their library as the link line names it, and from there that
  # path starts with a letter ("lib..." from Makefiles, "app/lib..." from
  # Ninja), after the system's "/usr/...", so both generators give the same
  # bytes in any folder.
  set(lib ${CMAKE_CURRENT_BINARY_DIR}/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${PARLIVO_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
    DEPENDS ${def}
    COMMENT "Delay-load import library for ${dll}.dll")
  add_custom_target(${target}_${dll}_delay_import DEPENDS ${lib})
  add_dependencies(${target} ${target}_${dll}_delay_import)
  # Ahead of the system's own import libraries, so the calls bind to it.
  target_link_libraries(${target} PRIVATE ${lib} delayimp)
endfunction()
