# SPDX-License-Identifier: GPL-3.0-or-later
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

# glassfalls_platform_library(NAME [SOURCES files...] [LINKS targets...]) builds the folder
# platform/NAME as the library glassfalls_platform_NAME, seen as "platform/NAME/...". The
# platform is layered inside in the same way: each of its libraries sees the headers of
# itself and of the platform libraries it links, and no others.
function(glassfalls_platform_library name)
  cmake_parse_arguments(PART "" "" "SOURCES;LINKS" ${ARGN})
  set(root ${GLASSFALLS_LAYER_ROOTS}/platform_${name})
  file(MAKE_DIRECTORY ${root}/platform)
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/platform/${name} ${root}/platform/${name} SYMBOLIC)
  set(target glassfalls_platform_${name})
  add_library(${target} STATIC ${PART_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${PART_LINKS})
endfunction()
