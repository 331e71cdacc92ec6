# Every top-level source folder is a layer: its own library, linking only the layers below it.
# The compiler finds a layer's headers only through a folder of the build tree that holds
# nothing but a link to that layer, and a library gets those folders only from itself and
# the layers it links. So a file that includes from a layer above its own does not compile.

set(GLASSFALLS_LAYER_ROOTS ${PROJECT_BINARY_DIR}/layers)

# Makes `folder` visible as "folder/..." through GLASSFALLS_LAYER_ROOTS/folder.
function(glassfalls_include_root folder)
  set(root ${GLASSFALLS_LAYER_ROOTS}/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
endfunction()

# glassfalls_layer(NAME [SOURCES files...] [LINKS targets...]) builds the folder NAME as the
# library glassfalls_NAME; a folder without sources is an interface library.
function(glassfalls_layer name)
  cmake_parse_arguments(LAYER "" "" "SOURCES;LINKS" ${ARGN})
  glassfalls_include_root(${name})
  set(target glassfalls_${name})
  if(LAYER_SOURCES)
    add_library(${target} STATIC ${LAYER_SOURCES})
    target_include_directories(${target} PUBLIC ${GLASSFALLS_LAYER_ROOTS}/${name})
    target_link_libraries(${target} PUBLIC ${LAYER_LINKS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${GLASSFALLS_LAYER_ROOTS}/${name})
    target_link_libraries(${target} INTERFACE ${LAYER_LINKS})
  endif()
endfunction()
