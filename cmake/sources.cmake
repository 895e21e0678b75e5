# The program's two libraries, shared by the main and the fuzz build:
#   evaluation (colour science with the target and EOTF tables, the command
#   line, measure with the verdict summary and the results record) builds and
#   links without the toolkit; the archive (records read back from files and
#   PNG captures, CSV, the summary of many jobs, external commands) adds
#   libpng, still without the toolkit; drawing (primitives, charts, panel, the report
#   page and its run, and the application shell with its external programs)
#   sits on it.
# Expects ANALYZER_SOURCE_DIR; sets ANALYZER_EVAL_SOURCES, ANALYZER_ARCHIVE_SOURCES
# and ANALYZER_DRAW_SOURCES.
file(GLOB ANALYZER_EVAL_SOURCES CONFIGURE_DEPENDS
  ${ANALYZER_SOURCE_DIR}/src/color/*.cpp
  ${ANALYZER_SOURCE_DIR}/src/config/*.cpp
  ${ANALYZER_SOURCE_DIR}/src/measure/*.cpp)

file(GLOB ANALYZER_ARCHIVE_SOURCES CONFIGURE_DEPENDS
  ${ANALYZER_SOURCE_DIR}/src/archive/*.cpp
  ${ANALYZER_SOURCE_DIR}/src/app/command.cpp)

file(GLOB_RECURSE ANALYZER_DRAW_SOURCES CONFIGURE_DEPENDS ${ANALYZER_SOURCE_DIR}/src/*.cpp)
list(REMOVE_ITEM ANALYZER_DRAW_SOURCES ${ANALYZER_EVAL_SOURCES} ${ANALYZER_ARCHIVE_SOURCES})
list(FILTER ANALYZER_DRAW_SOURCES EXCLUDE REGEX ".*/src/app/(main|results_main|summary_png_main)\\.cpp$")
# The version --version prints.
set_property(SOURCE ${ANALYZER_SOURCE_DIR}/src/config/usage.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             ANALYZER_VERSION="${PROJECT_VERSION}")
