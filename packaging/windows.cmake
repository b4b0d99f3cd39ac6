# The Windows download: walker-VERSION-windows-x64.zip beside walker.exe,
# holding the program, a README and the licence as text files a Windows user
# opens with a double click.
set(WALKER_ZIP walker-${PROJECT_VERSION}-windows-x64.zip)
# Its README is for Windows users: what it is, how to run it, the keys (the
# key bindings' table, docs/keys.tsv) and the licence, with Windows' line ends.
include(${PROJECT_SOURCE_DIR}/cmake/key_table.cmake)
walker_key_table(text WINDOWS_KEYS)
string(REPLACE "\n" "\r\n" WINDOWS_KEYS "${WINDOWS_KEYS}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-readme.txt.in ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)

# walker's licence, and freeglut's notice where the build has it (the windows
# preset names the source scripts/windows fetched).
set(WALKER_FREEGLUT_NOTICE "" CACHE FILEPATH "freeglut's COPYING, added to the zip's copyright.txt")
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/copyright.txt
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${PROJECT_BINARY_DIR}/copyright.txt
    -DFREEGLUT_NOTICE=${WALKER_FREEGLUT_NOTICE} -P ${CMAKE_CURRENT_LIST_DIR}/zip_copyright.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/zip_copyright.cmake ${PROJECT_SOURCE_DIR}/LICENSE ${WALKER_FREEGLUT_NOTICE}
  VERBATIM)

# cmake -E tar's zips carry each file's access and change times and its
# owner; tools/zip_files.py's carry only names, modes and SOURCE_DATE_EPOCH.
# The time is the one configured last, kept in a file, so that a release of
# a later commit makes the zip again in a tree where nothing else changed.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(CONFIGURE OUTPUT zip-time.txt CONTENT "$ENV{SOURCE_DATE_EPOCH}\n")
add_custom_command(
  OUTPUT ${WALKER_ZIP}
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=$ENV{SOURCE_DATE_EPOCH}
    $<TARGET_FILE:Python3::Interpreter> ${PROJECT_SOURCE_DIR}/tools/zip_files.py ${WALKER_ZIP}
    $<TARGET_FILE_NAME:walker> README.txt copyright.txt
  DEPENDS walker ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/copyright.txt
    ${PROJECT_SOURCE_DIR}/tools/zip_files.py ${PROJECT_BINARY_DIR}/zip-time.txt
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  VERBATIM)
add_custom_target(walker_zip ALL DEPENDS ${WALKER_ZIP})
