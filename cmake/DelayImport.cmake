# tessaryn_delay_import(<target> DEF <file.def>)
#
# An interface library that imports the entries of <file.def> from its DLL through
# delayed imports: nothing of the DLL is loaded at start, and the first call binds the
# entry through the delay-load helper (which the program points at the copy it loaded
# itself). The .def file lists the entries with their i686 stdcall decoration (@N);
# the 64-bit build drops it. delay-imports/<target>-entries.inc in the build tree lists
# the entries as DELAYED_ENTRY(name, "<symbol of its import address slot>") lines, for
# the program's check and binding of the DLL it loaded itself.
function(tessaryn_delay_import target)
  cmake_parse_arguments(D "" "DEF" "" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${D_DEF})
  file(STRINGS ${D_DEF} lines)
  set(dll "")
  set(entries "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^LIBRARY[ \t]+([^ \t]+)")
      set(dll ${CMAKE_MATCH_1})
    elseif(line MATCHES "^[A-Za-z_][A-Za-z0-9_]*(@[0-9]+)?$" AND NOT line STREQUAL "EXPORTS")
      list(APPEND entries ${line})
    endif()
  endforeach()

  set(i686 FALSE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(i686 TRUE)
  endif()
  set(def_lines "LIBRARY ${dll}\nEXPORTS\n")
  set(link_options "")
  set(entry_lines "")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "@[0-9]+$" "" plain ${entry})
    if(i686)
      string(APPEND entry_lines "DELAYED_ENTRY(${plain}, \"__imp__${entry}\")\n")
      string(APPEND def_lines "${entry}\n")
      # NOTE: ld drops an import member's code when only its __imp_ pointer is used (the
      # GL headers declare every entry dllimport), and that code holds the delayed
      # entry's first-call stub. Asking for the stub's own symbol keeps it.
      list(APPEND link_options "LINKER:-u,_${entry}")
    else()
      string(APPEND entry_lines "DELAYED_ENTRY(${plain}, \"__imp_${plain}\")\n")
      string(APPEND def_lines "${plain}\n")
      list(APPEND link_options "LINKER:-u,${plain}")
    endif()
  endforeach()

  set(dir ${CMAKE_BINARY_DIR}/delay-imports)
  file(CONFIGURE OUTPUT ${dir}/${target}.def CONTENT "${def_lines}" @ONLY)
  set(kill_at "")
  if(i686)
    set(kill_at -k)
  endif()
  set(library ${dir}/lib${target}.a)
  # Relative names: dlltool names the library's symbols after its output path.
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${CMAKE_DLLTOOL} --output-delaylib lib${target}.a --def ${target}.def
            --dllname ${dll} ${kill_at}
    WORKING_DIRECTORY ${dir}
    DEPENDS ${dir}/${target}.def
    VERBATIM)
  add_custom_target(${target}_library DEPENDS ${library})
  add_library(${target} INTERFACE)
  add_dependencies(${target} ${target}_library)
  target_link_libraries(${target} INTERFACE ${library})
  target_link_options(${target} INTERFACE ${link_options})
  file(CONFIGURE OUTPUT ${dir}/${target}-entries.inc CONTENT "${entry_lines}" @ONLY)
endfunction()
