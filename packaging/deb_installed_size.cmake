# Run by CPack after it has made the .deb (CPACK_POST_BUILD_SCRIPTS): its
# Installed-Size counted from its files, not from the build folder's file system.
execute_process(COMMAND ${CPACK_WALKER_PYTHON} ${CPACK_WALKER_INSTALLED_SIZE} ${CPACK_PACKAGE_FILES}
  COMMAND_ERROR_IS_FATAL ANY)
