# Installs BUILD into an empty DESTDIR, prints the tree it laid out and fails
# unless that is the device tree: under usr/local/app only (and the package's
# documents under usr/share), each of PROGRAMS
# there and executable, and every file of the build's device root
# (BUILD_ROOT: the artwork and the font) in the same place.
#   cmake -DBUILD=<dir> -DDESTDIR=<dir> -DBUILD_ROOT=<dir> -DPROGRAMS="a;b" -P check_install.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${DESTDIR})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${DESTDIR} ${CMAKE_COMMAND} --install ${BUILD}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD} failed (${rc})")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${DESTDIR} ${DESTDIR}/*)
list(SORT installed)
list(JOIN installed "\n  " listing)
message(STATUS "DESTDIR=${DESTDIR} cmake --install ${BUILD}:\n  ${listing}")

set(errors "")
# Beside the tree, only the package's documents.
set(documents usr/share/doc/analyzer/changelog.gz usr/share/doc/analyzer/copyright
    usr/share/lintian/overrides/analyzer usr/share/man/man1/analyzer.1.gz usr/share/man/man1/analyzer-results.1.gz)
foreach(f ${installed})
  if(NOT f MATCHES "^usr/local/app/" AND NOT f IN_LIST documents)
    string(APPEND errors "outside usr/local/app: ${f}\n")
  endif()
endforeach()
foreach(p ${PROGRAMS})
  set(f ${DESTDIR}/usr/local/app/${p})
  if(NOT EXISTS ${f} OR IS_DIRECTORY ${f})
    string(APPEND errors "program missing: usr/local/app/${p}\n")
  else()
    execute_process(COMMAND test -x ${f} RESULT_VARIABLE not_executable)
    if(not_executable)
      string(APPEND errors "not executable: usr/local/app/${p}\n")
    endif()
  endif()
endforeach()
file(GLOB_RECURSE laid_out LIST_DIRECTORIES false RELATIVE ${BUILD_ROOT} ${BUILD_ROOT}/usr/local/app/image/*
     ${BUILD_ROOT}/usr/local/app/font/*)
if(NOT laid_out)
  string(APPEND errors "the build's device root ${BUILD_ROOT} holds no artwork\n")
endif()
foreach(f ${laid_out})
  if(NOT f IN_LIST installed)
    string(APPEND errors "laid out in the build but not installed: ${f}\n")
  endif()
endforeach()
if(errors)
  message(FATAL_ERROR "${errors}")
endif()
