# The Windows zip's copyright.txt: walker's licence and, where the build has
# it, freeglut's notice, which freeglut's licence asks to go with every copy
# (walker.exe holds freeglut). scripts/lint writes it too, to check the licence.
# Usage: cmake -DOUTPUT=FILE [-DFREEGLUT_NOTICE=COPYING] -P zip_copyright.cmake
get_filename_component(root ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
file(READ ${root}/LICENSE licence)
set(notice "walker is under the MIT licence:\n\n${licence}")
if(FREEGLUT_NOTICE)
  file(READ ${FREEGLUT_NOTICE} freeglut_notice)
  string(APPEND notice "\nwalker.exe holds freeglut, under this notice:\n\n${freeglut_notice}")
endif()
file(WRITE ${OUTPUT} "${notice}")
