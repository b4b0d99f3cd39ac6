# The Windows download: walker-VERSION-windows-x64.zip beside walker.exe,
# holding the program, the README and the copyright as text files a Windows
# user opens with a double click.
set(WALKER_ZIP walker-${PROJECT_VERSION}-windows-x64.zip)
configure_file(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/README.txt COPYONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/copyright.txt COPYONLY)
add_custom_command(
  OUTPUT ${WALKER_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${WALKER_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${WALKER_ZIP} --format=zip
    $<TARGET_FILE_NAME:walker> README.txt copyright.txt
  DEPENDS walker ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/copyright.txt
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  VERBATIM)
add_custom_target(walker_zip ALL DEPENDS ${WALKER_ZIP})
