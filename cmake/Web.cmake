# SPDX-License-Identifier: GPL-3.0-or-later
# The piece as a web page (scripts/web): glassfalls.js and .wasm, the data set packed as
# glassfalls.data, and the page that starts it, all in the build folder.

# WebGL 2 is the shader pipeline's OpenGL ES 3.0; without the maximum named, a version-2
# context quietly becomes WebGL 1. The page starts the program itself (INVOKE_RUN=0) once the
# files its options name are in place, and hears of its end (EXIT_RUNTIME).
target_link_options(glassfalls PRIVATE
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sFULL_ES3=1
  -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sFORCE_FILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=callMain,FS
  --preload-file ${PROJECT_SOURCE_DIR}/data@/data)
set_target_properties(glassfalls PROPERTIES SUFFIX .js
                      LINK_DEPENDS "${PROJECT_SOURCE_DIR}/data")

foreach(file index.html page.js)
  configure_file(${PROJECT_SOURCE_DIR}/web/${file} ${PROJECT_BINARY_DIR}/${file} COPYONLY)
endforeach()
