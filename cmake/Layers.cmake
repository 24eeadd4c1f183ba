# Each folder is a library that sees only itself and the folders below it. Its include
# path is a view of links to those folders' headers alone (subfolders are layers of
# their own), so an upward include fails to compile instead of waiting for a review.

function(tessaryn_view_add view folder)
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/${folder}
       ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  file(MAKE_DIRECTORY ${view}/${folder})
  foreach(h IN LISTS headers)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder}/${h} ${view}/${folder}/${h} SYMBOLIC)
  endforeach()
endfunction()

# tessaryn_layer(<target> FOLDER <folder> [SOURCES ...] [USES <layer targets>...]
#                [LIBS <other libraries>...])
function(tessaryn_layer target)
  cmake_parse_arguments(L "" "FOLDER" "SOURCES;USES;LIBS" ${ARGN})
  set(seen ${L_FOLDER})
  foreach(dep IN LISTS L_USES)
    get_target_property(dep_seen ${dep} TESSARYN_SEES)
    list(APPEND seen ${dep_seen})
  endforeach()
  list(REMOVE_DUPLICATES seen)

  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${view})
  foreach(folder IN LISTS seen)
    tessaryn_view_add(${view} ${folder})
  endforeach()

  list(TRANSFORM L_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/${L_FOLDER}/)
  add_library(${target} STATIC ${L_SOURCES})
  target_include_directories(${target} PRIVATE ${view})
  target_link_libraries(${target} PUBLIC ${L_USES} ${L_LIBS})
  set_target_properties(${target} PROPERTIES TESSARYN_SEES "${seen}")
endfunction()
