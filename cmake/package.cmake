# `cpack -G DEB` in a build folder: analyzer_<version>_<arch>.deb holding the
# device tree under /usr/local/app (both programs, the artwork and the font).
# The architecture is the target's (ANALYZER_DEB_ARCH from the toolchain
# file; a native build asks dpkg). The libraries the programs need, one
# Debian package per row, the same names on every architecture; the package
# test checks that every library the programs link comes from one of them.
set(ANALYZER_DEB_DEPENDS
  "libc6 (>= 2.36)"
  "libgcc-s1"
  "libstdc++6 (>= 12)"
  "libpng16-16 (>= 1.6)"
  "libeina1a (>= 1.26)"
  "libecore1 (>= 1.26)"
  "libevas1 (>= 1.26)"
  "libecore-evas1 (>= 1.26)"
  "libefreet1a (>= 1.26)"
  "libelementary1 (>= 1.26)"
  # Not linked, loaded by the toolkit in device mode: its framebuffer engine.
  "libevas1-engines-fb (>= 1.26)")
list(JOIN ANALYZER_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
if(ANALYZER_DEB_ARCH)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${ANALYZER_DEB_ARCH})
endif()
set(CPACK_PACKAGE_NAME analyzer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tervane <support@tervane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Display analyzer report renderer")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
