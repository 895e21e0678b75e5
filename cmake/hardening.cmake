# Debian's hardening flags for every program of the build, as dpkg-buildflags
# gives them with hardening=+all for the target's architecture: fortified
# functions, stack protector, relro and bind-now (PIE is the compiler's
# default). The build type keeps its own optimisation and debug flags.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags not found: the programs are built without Debian's hardening flags")
  return()
endif()
set(_hardening_env DEB_BUILD_MAINT_OPTIONS=hardening=+all)
if(ANALYZER_DEB_ARCH)
  list(APPEND _hardening_env DEB_HOST_ARCH=${ANALYZER_DEB_ARCH})
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND env ${_hardening_env} ${DPKG_BUILDFLAGS} --get ${kind}
                  OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(_flags UNIX_COMMAND "${_flags}")
  list(FILTER _flags EXCLUDE REGEX "^(-g|-O[0-9s]?|-ffile-prefix-map=.*)$")
  if(kind STREQUAL LDFLAGS)
    add_link_options(${_flags})
  else()
    add_compile_options(${_flags})
  endif()
  message(STATUS "Hardening ${kind}: ${_flags}")
endforeach()
