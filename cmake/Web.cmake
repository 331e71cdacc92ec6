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
  # SDL's audio calls these without declaring them. Their names begin with $, which no
  # command line between CMake and emcc leaves alone: emcc reads them from a file.
  @${PROJECT_SOURCE_DIR}/cmake/web-library-functions.rsp
  --preload-file ${PROJECT_SOURCE_DIR}/data@/data)
set_target_properties(glassfalls PROPERTIES SUFFIX .js
                      LINK_DEPENDS "${PROJECT_SOURCE_DIR}/data")

foreach(file index.html page.js copyright)
  configure_file(${PROJECT_SOURCE_DIR}/web/${file} ${PROJECT_BINARY_DIR}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/glassfalls.png ${PROJECT_BINARY_DIR}/glassfalls.png COPYONLY)
# The example melody, so that ?melody=examples/music.dat plays it from the page's own server.
configure_file(${PROJECT_SOURCE_DIR}/examples/music.dat ${PROJECT_BINARY_DIR}/examples/music.dat COPYONLY)

# The built-in synthesiser: js-synthesizer and its libfluidsynth (LGPL 2.1, see
# packaging/copyright) from the page's npm packages, which scripts/web installs first, and
# Debian's TimGM6mb soundfont.
set(GLASSFALLS_WEB_PACKAGES ${PROJECT_SOURCE_DIR}/web/node_modules/js-synthesizer)
foreach(file dist/js-synthesizer.min.js dist/js-synthesizer.worklet.min.js externals/libfluidsynth-2.3.0.js
             LICENSE externals/LICENSE.fluidsynth.txt)
  get_filename_component(name ${file} NAME)
  configure_file(${GLASSFALLS_WEB_PACKAGES}/${file} ${PROJECT_BINARY_DIR}/synth/${name} COPYONLY)
endforeach()
configure_file(/usr/share/sounds/sf2/TimGM6mb.sf2 ${PROJECT_BINARY_DIR}/synth/TimGM6mb.sf2 COPYONLY)
