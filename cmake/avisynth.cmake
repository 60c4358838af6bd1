# Finds an installed AviSynth+ the way plug-ins do: through pkg-config
# (`avisynth`), or through PRAMVIX_AVISYNTH_INCLUDE_DIR pointing at the
# directory that holds avisynth_c.h and avisynth.h. Defines, when found:
#   PRAMVIX_AVISYNTH_FOUND       TRUE
#   Pramvix::AviSynthHeaders     the headers (all a plug-in needs)
#   PRAMVIX_AVISYNTH_LIBRARY     the path of libavisynth, which hosts of our own
#                                (the real-host tests) load at run time
#   PRAMVIX_AVISYNTH_PLUGIN_DIR  the autoload folder `cmake --install` copies to
# A Windows cross build looks for a Windows AviSynth+ the same way (the
# toolchain file points pkg-config at Windows packages; PKG_CONFIG_PATH names
# the prefix of one built elsewhere). Without one, it builds the bridge with
# the build machine's AviSynth+ headers (the C interface is the same on every
# system) and skips the real-host tests.
option(PRAMVIX_AVSPLUS "Build the AviSynth+ bridge when AviSynth+ is installed" ON)
set(PRAMVIX_AVISYNTH_INCLUDE_DIR "" CACHE PATH "Directory holding avisynth_c.h (pkg-config avisynth when empty)")

set(PRAMVIX_AVISYNTH_FOUND FALSE)
set(_avs_libdir "")
set(_avs_header_dir "")
set(PRAMVIX_AVISYNTH_VERSION "")
if(PRAMVIX_AVSPLUS)
  if(NOT PRAMVIX_AVISYNTH_INCLUDE_DIR)
    find_package(PkgConfig QUIET)
    if(PKG_CONFIG_FOUND)
      pkg_check_modules(PC_AVISYNTH QUIET avisynth)
      if(PC_AVISYNTH_FOUND)
        foreach(_dir IN LISTS PC_AVISYNTH_INCLUDE_DIRS)
          if(NOT _avs_header_dir AND EXISTS "${_dir}/avisynth_c.h")
            set(_avs_header_dir "${_dir}")
          endif()
        endforeach()
        set(_avs_libdir "${PC_AVISYNTH_LIBDIR}")
        set(PRAMVIX_AVISYNTH_VERSION ", version ${PC_AVISYNTH_VERSION}")
      endif()
    endif()
  elseif(EXISTS "${PRAMVIX_AVISYNTH_INCLUDE_DIR}/avisynth_c.h")
    set(_avs_header_dir "${PRAMVIX_AVISYNTH_INCLUDE_DIR}")
  endif()
endif()

set(_avs_headers_only FALSE)
if(PRAMVIX_AVSPLUS AND NOT _avs_header_dir AND CMAKE_CROSSCOMPILING)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=PKG_CONFIG_LIBDIR --unset=PKG_CONFIG_PATH
                          pkg-config --variable=includedir avisynth
                  OUTPUT_VARIABLE _avs_build_includedir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  foreach(_dir "${_avs_build_includedir}" "${_avs_build_includedir}/avisynth")
    if(_avs_build_includedir AND NOT _avs_header_dir AND EXISTS "${_dir}/avisynth_c.h")
      set(_avs_header_dir "${_dir}")
      set(_avs_headers_only TRUE)
    endif()
  endforeach()
endif()

if(_avs_header_dir)
  set(PRAMVIX_AVISYNTH_FOUND TRUE)
  add_library(Pramvix::AviSynthHeaders INTERFACE IMPORTED)
  set_target_properties(Pramvix::AviSynthHeaders PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${_avs_header_dir}")

  # The library itself is only needed by hosts of our own (the test runner),
  # which load it as real hosts do; nothing links it.
  if(_avs_headers_only)
    set(PRAMVIX_AVISYNTH_LIBRARY "")
  elseif(WIN32)
    get_filename_component(_avs_prefix "${_avs_header_dir}/../.." ABSOLUTE)
    find_file(PRAMVIX_AVISYNTH_LIBRARY AviSynth.dll HINTS "${_avs_prefix}/bin" NO_CMAKE_FIND_ROOT_PATH)
  else()
    get_filename_component(_avs_prefix_lib "${_avs_header_dir}/../../lib" ABSOLUTE)
    find_library(PRAMVIX_AVISYNTH_LIBRARY avisynth HINTS ${_avs_libdir} ${_avs_prefix_lib})
  endif()

  if(NOT _avs_libdir)
    include(GNUInstallDirs)
    set(_avs_libdir "${CMAKE_INSTALL_FULL_LIBDIR}")
  endif()
  set(PRAMVIX_AVISYNTH_PLUGIN_DIR "${_avs_libdir}/avisynth" CACHE PATH "AviSynth+ plug-in autoload folder")
  if(_avs_headers_only)
    message(NOTICE "-- No AviSynth+ for Windows found (PKG_CONFIG_PATH=<its prefix>/lib/pkgconfig): building the "
                   "C-interface bridge with the headers in ${_avs_header_dir}; the real-host tests are skipped")
  elseif(WIN32)
    message(STATUS "AviSynth+ for Windows found (${_avs_header_dir}${PRAMVIX_AVISYNTH_VERSION}): building the "
                   "C-interface bridge; the real-host tests load ${PRAMVIX_AVISYNTH_LIBRARY}")
  else()
    message(STATUS "AviSynth+ found (${_avs_header_dir}${PRAMVIX_AVISYNTH_VERSION}): building the C-interface "
                   "bridge; plug-in folder ${PRAMVIX_AVISYNTH_PLUGIN_DIR}")
  endif()
elseif(NOT PRAMVIX_AVSPLUS)
  message(STATUS "AviSynth+ bridge turned off (PRAMVIX_AVSPLUS=OFF)")
else()
  message(NOTICE "-- AviSynth+ not found (pkg-config avisynth, PRAMVIX_AVISYNTH_INCLUDE_DIR): "
                 "the AviSynth+ bridge and the real-host tests are skipped")
endif()
