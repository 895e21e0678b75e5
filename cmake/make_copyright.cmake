# Writes the package's copyright file: TEMPLATE with @FONT_COPYRIGHT@
# replaced by the text of FONT_COPYRIGHT_FILE as a continuation of the
# font's License field (each line indented by one blank, blank lines as " .").
#   cmake -DTEMPLATE=... -DFONT_COPYRIGHT_FILE=... -DOUTPUT=... -P make_copyright.cmake
cmake_minimum_required(VERSION 3.20)
file(READ ${FONT_COPYRIGHT_FILE} source)
string(REPLACE "\t" "        " source "${source}")
# Trailing blanks off, then every line indented and blank lines marked.
string(REGEX REPLACE "[ ]+\n" "\n" source "${source}")
string(REGEX REPLACE "\n+$" "" source "${source}")
string(REGEX REPLACE "\n\n" "\n.\n" source "${source}")
string(REGEX REPLACE "\n\n" "\n.\n" source "${source}")
string(REGEX REPLACE "\n" "\n " FONT_COPYRIGHT " ${source}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
