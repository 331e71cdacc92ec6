# SPDX-License-Identifier: GPL-3.0-or-later
# The optional backends, each on by default. A backend that is on and whose library is missing
# stops the configuration, naming the Debian package, so that nothing is left out of a build
# by accident; one that is off is not built at all, and the program says so in one line when
# it is asked for.

# glassfalls_backend(OPTION "what it is" DEBIAN_PACKAGES "pkg ..." [MODULES pkg-config modules...])
# declares OPTION and, when it is on, finds its pkg-config MODULES as PkgConfig::<OPTION>.
function(glassfalls_backend option description)
  cmake_parse_arguments(BACKEND "" "DEBIAN_PACKAGES" "MODULES" ${ARGN})
  if(BACKEND_DEBIAN_PACKAGES)
    option(${option} "Build ${description} (needs ${BACKEND_DEBIAN_PACKAGES})" ON)
  else()
    option(${option} "Build ${description}" ON)
  endif()
  if(NOT ${option} OR NOT BACKEND_MODULES)
    return()
  endif()
  pkg_check_modules(${option} QUIET IMPORTED_TARGET GLOBAL ${BACKEND_MODULES})
  if(NOT ${option}_FOUND)
    message(FATAL_ERROR "${description} needs the Debian package(s) ${BACKEND_DEBIAN_PACKAGES}: "
                        "install them (scripts/setup does), or configure with -D${option}=OFF to build without it")
  endif()
endfunction()

glassfalls_backend(GLASSFALLS_ALSA "the ALSA sequencer MIDI output" DEBIAN_PACKAGES libasound2-dev MODULES alsa)
glassfalls_backend(GLASSFALLS_FLUIDSYNTH "the built-in synthesiser (FluidSynth)" DEBIAN_PACKAGES libfluidsynth-dev
                   MODULES fluidsynth)
glassfalls_backend(GLASSFALLS_SYSTEMD "the service manager's ready and watchdog notices (systemd)"
                   DEBIAN_PACKAGES libsystemd-dev MODULES libsystemd)
glassfalls_backend(GLASSFALLS_OSC "show control over OSC (liblo)" DEBIAN_PACKAGES liblo-dev MODULES liblo)
glassfalls_backend(GLASSFALLS_VIDEO "video recording (FFmpeg)" DEBIAN_PACKAGES
                   "libavformat-dev libavcodec-dev libswscale-dev"
                   MODULES libavformat libavcodec libavutil libswscale)
glassfalls_backend(GLASSFALLS_DISPLAY_HELPERS "the X11 and Wayland display helpers"
                   DEBIAN_PACKAGES "libx11-dev libwayland-dev" MODULES x11 wayland-client)
glassfalls_backend(GLASSFALLS_PICTURE_LINK "the picture link and the picture server")

# Which backends this build has, for the one place in the program that picks among them and
# for the tests that need one: GLASSFALLS_WITH_<NAME>=0 or 1.
set(GLASSFALLS_BACKEND_DEFINITIONS)
foreach(option GLASSFALLS_ALSA GLASSFALLS_FLUIDSYNTH GLASSFALLS_SYSTEMD GLASSFALLS_OSC GLASSFALLS_VIDEO
               GLASSFALLS_DISPLAY_HELPERS GLASSFALLS_PICTURE_LINK)
  string(REPLACE "GLASSFALLS_" "GLASSFALLS_WITH_" name ${option})
  if(${option})
    list(APPEND GLASSFALLS_BACKEND_DEFINITIONS ${name}=1)
  else()
    list(APPEND GLASSFALLS_BACKEND_DEFINITIONS ${name}=0)
  endif()
endforeach()
