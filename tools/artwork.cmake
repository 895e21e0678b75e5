# Report artwork, generated at build time by make_artwork from the drawing
# code and the CIE 1931 colour-matching table, plus the font, laid out under
# the build's device root and installed to /usr/local/app.

add_executable(make_artwork ${CMAKE_CURRENT_LIST_DIR}/make_artwork.cpp)
target_include_directories(make_artwork PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(make_artwork PRIVATE PNG::PNG m)

set(ARTWORK_FONT_DIR ${ANALYZER_BUILD_ROOT}/usr/local/app/font)
set(ARTWORK_CIE_TABLE ${CMAKE_SOURCE_DIR}/data/cie1931_2deg_5nm.csv)
set(ARTWORK_FONT_SOURCE /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
    CACHE FILEPATH "TrueType font installed as the program's arial.ttf")

# The images are the device paths of the program's table, under the root.
set(ARTWORK_IMAGE_TABLE ${CMAKE_SOURCE_DIR}/src/draw/images.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARTWORK_IMAGE_TABLE})
file(STRINGS ${ARTWORK_IMAGE_TABLE} ARTWORK_IMAGES REGEX "^ *\"/usr/local/app/image/[^\"]+\",$")
list(TRANSFORM ARTWORK_IMAGES REPLACE "^ *\"([^\"]+)\",$" "${ANALYZER_BUILD_ROOT}\\1" OUTPUT_VARIABLE ARTWORK_IMAGE_FILES)
list(LENGTH ARTWORK_IMAGE_FILES ARTWORK_IMAGE_COUNT)
if(ARTWORK_IMAGE_COUNT EQUAL 0)
  message(FATAL_ERROR "no image paths found in ${ARTWORK_IMAGE_TABLE}")
endif()
set(ARTWORK_CONTACT_SHEET ${CMAKE_BINARY_DIR}/contact_sheet.png)
set(ARTWORK_FONT_FILE ${ARTWORK_FONT_DIR}/arial.ttf)
# Evas looks a font name up in the folder's index: "arial.ttf" is an alias of
# the file, so the name the program asks for finds it.
set(ARTWORK_FONT_INDEX ${ARTWORK_FONT_DIR}/fonts.dir ${ARTWORK_FONT_DIR}/fonts.alias)

add_custom_command(
  OUTPUT ${ARTWORK_IMAGE_FILES} ${ARTWORK_CONTACT_SHEET}
  COMMAND make_artwork ${ANALYZER_BUILD_ROOT} ${ARTWORK_CIE_TABLE} ${CMAKE_BINARY_DIR}
  DEPENDS make_artwork ${ARTWORK_CIE_TABLE}
  COMMENT "Generating report artwork"
  VERBATIM)

add_custom_command(
  OUTPUT ${ARTWORK_FONT_FILE} ${ARTWORK_FONT_INDEX}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ARTWORK_FONT_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${ARTWORK_FONT_SOURCE} ${ARTWORK_FONT_FILE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/font/fonts.dir ${CMAKE_SOURCE_DIR}/data/font/fonts.alias
          ${ARTWORK_FONT_DIR}
  DEPENDS ${ARTWORK_FONT_SOURCE} ${CMAKE_SOURCE_DIR}/data/font/fonts.dir ${CMAKE_SOURCE_DIR}/data/font/fonts.alias
  COMMENT "Copying report font"
  VERBATIM)

add_custom_target(artwork ALL DEPENDS ${ARTWORK_IMAGE_FILES} ${ARTWORK_FONT_FILE} ${ARTWORK_FONT_INDEX})

install(FILES ${ARTWORK_IMAGE_FILES} DESTINATION /usr/local/app/image)
install(FILES ${ARTWORK_FONT_FILE} ${ARTWORK_FONT_INDEX} DESTINATION /usr/local/app/font)
