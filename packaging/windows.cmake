# The Windows download: walker-VERSION-windows-x64.zip beside walker.exe,
# holding the program, the README and the copyright as text files a Windows
# user opens with a double click.
set(WALKER_ZIP walker-${PROJECT_VERSION}-windows-x64.zip)
configure_file(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/README.txt COPYONLY)

# freeglut's licence asks for its notice in every copy, and walker.exe holds
# a copy of freeglut: the copyright file carries that notice too where the
# build has it (the windows preset names the source scripts/windows fetched).
set(WALKER_FREEGLUT_NOTICE "" CACHE FILEPATH "freeglut's COPYING, added to the zip's copyright.txt")
file(READ ${CMAKE_CURRENT_LIST_DIR}/copyright notice)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/copyright)
if(WALKER_FREEGLUT_NOTICE)
  file(READ ${WALKER_FREEGLUT_NOTICE} freeglut_notice)
  string(APPEND notice "\nwalker.exe holds freeglut, under this notice:\n${freeglut_notice}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${WALKER_FREEGLUT_NOTICE})
endif()
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/copyright.txt CONTENT "${notice}")

add_custom_command(
  OUTPUT ${WALKER_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${WALKER_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${WALKER_ZIP} --format=zip
    $<TARGET_FILE_NAME:walker> README.txt copyright.txt
  DEPENDS walker ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/copyright.txt
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  VERBATIM)
add_custom_target(walker_zip ALL DEPENDS ${WALKER_ZIP})
