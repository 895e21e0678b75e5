# `cpack -G DEB` in a build folder: analyzer_<version>_<arch>.deb holding the
# device tree under /usr/local/app (both programs, the artwork and the font),
# the man pages, the copyright file (the font's licence included), the
# changelog and the lintian overrides that the /usr/local/app layout needs.
# The architecture is the target's (ANALYZER_DEB_ARCH from the toolchain
# file; a native build asks dpkg).

# The man pages, made by help2man from each program's --help and --version,
# so that the usage text is written once. A cross build runs its programs
# through the toolchain's emulator, which help2man cannot name: it gets a
# script of the program's name that does.
find_program(HELP2MAN help2man REQUIRED)
set(PACKAGE_DOC_DIR ${CMAKE_BINARY_DIR}/package-doc)
set(PACKAGE_DOC_FILES "")
set(MAN_NAME_analyzer "draw the display analyzer's report of a test data file")
set(MAN_NAME_analyzer-results "judge display test data files without drawing")
list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
foreach(program analyzer analyzer-results)
  set(runner ${PACKAGE_DOC_DIR}/bin/${program})
  file(GENERATE OUTPUT ${runner}
       CONTENT "#!/bin/sh\nexec ${emulator} \"$<TARGET_FILE:${program}>\" \"$@\"\n"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(page ${PACKAGE_DOC_DIR}/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1796644800
            ${HELP2MAN} --no-info --section=1 "--name=${MAN_NAME_${program}}" --output=${page} ${runner}
    COMMAND gzip -9nf ${page}
    DEPENDS ${program}
    COMMENT "Man page of ${program}"
    VERBATIM)
  list(APPEND PACKAGE_DOC_FILES ${page}.gz)
endforeach()

# The copyright file: this project's stanza and the font's, whose licence
# text comes from the copyright file of the package the font is taken from.
set(ARTWORK_FONT_COPYRIGHT /usr/share/doc/fonts-liberation/copyright
    CACHE FILEPATH "Copyright file of the package ARTWORK_FONT_SOURCE comes from")
add_custom_command(
  OUTPUT ${PACKAGE_DOC_DIR}/copyright
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_SOURCE_DIR}/packaging/copyright.in
          -DFONT_COPYRIGHT_FILE=${ARTWORK_FONT_COPYRIGHT} -DOUTPUT=${PACKAGE_DOC_DIR}/copyright
          -P ${CMAKE_SOURCE_DIR}/cmake/make_copyright.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/copyright.in ${ARTWORK_FONT_COPYRIGHT}
          ${CMAKE_SOURCE_DIR}/cmake/make_copyright.cmake
  VERBATIM)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${PACKAGE_DOC_DIR}/changelog @ONLY)
add_custom_command(
  OUTPUT ${PACKAGE_DOC_DIR}/changelog.gz
  COMMAND gzip -9nkf ${PACKAGE_DOC_DIR}/changelog
  DEPENDS ${PACKAGE_DOC_DIR}/changelog
  VERBATIM)
# A sanitizer build makes no package: its programs would run under the
# sanitizers for help2man.
if(ANALYZER_SANITIZE)
  set(PACKAGE_DOC_IN_ALL "")
else()
  set(PACKAGE_DOC_IN_ALL ALL)
endif()
add_custom_target(package-doc ${PACKAGE_DOC_IN_ALL} DEPENDS ${PACKAGE_DOC_FILES} ${PACKAGE_DOC_DIR}/copyright ${PACKAGE_DOC_DIR}/changelog.gz)

# Optional: a sanitizer build installs its tree without them.
install(FILES ${PACKAGE_DOC_FILES} DESTINATION /usr/share/man/man1 OPTIONAL)
install(FILES ${PACKAGE_DOC_DIR}/copyright ${PACKAGE_DOC_DIR}/changelog.gz DESTINATION /usr/share/doc/analyzer OPTIONAL)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides DESTINATION /usr/share/lintian/overrides
        RENAME analyzer)

# `cpack` (and installing) builds what the package holds, not the whole
# build with its tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
list(JOIN ANALYZER_PROGRAMS " " ANALYZER_PROGRAM_TARGETS)
set(CPACK_INSTALL_COMMANDS
    "${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target ${ANALYZER_PROGRAM_TARGETS} artwork package-doc")

# Depends: what dpkg-shlibdeps finds for the programs, and the toolkit's
# framebuffer engine, which it loads at run time in device mode. A cross
# build has no package database of the target to ask: it names the
# packages of the libraries the programs link, the same on every
# architecture (the package test checks them against the sysroot).
set(ANALYZER_DEB_RUNTIME_DEPENDS "libevas1-engines-fb (>= 1.26)")
if(CMAKE_CROSSCOMPILING)
  set(ANALYZER_DEB_DEPENDS
    "libc6 (>= 2.36)" "libgcc-s1" "libstdc++6 (>= 12)" "libpng16-16 (>= 1.6)" "libeina1a (>= 1.26)"
    "libecore1 (>= 1.26)" "libevas1 (>= 1.26)" "libecore-evas1 (>= 1.26)" "libefreet1a (>= 1.26)"
    "libelementary1 (>= 1.26)" ${ANALYZER_DEB_RUNTIME_DEPENDS})
  list(JOIN ANALYZER_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS ${ANALYZER_DEB_RUNTIME_DEPENDS})
endif()
if(ANALYZER_DEB_ARCH)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${ANALYZER_DEB_ARCH})
endif()
set(CPACK_PACKAGE_NAME analyzer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tervane <support@tervane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Display analyzer report renderer")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "The report renderer of the hand-held display analyzer. It reads a"
  "colorimeter's test data file, judges every measured patch against the"
  "target (CIEDE2000, gamma, PQ and HLG EOTF tracking, ICtCp and Delta E ITP)"
  "and saves one report page of charts with pass/fail verdicts as two PNG"
  "captures, dark and white, with a JSON results record."
  "."
  "On the device it draws on the framebuffer; analyzer --headless --output DIR"
  "renders a job anywhere. analyzer-results judges test data files without"
  "drawing. The programs, their images and their font live under"
  "/usr/local/app, as on the device.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_own_folders.cmake)
include(CPack)
