# What a Debian system expects of an installed program, and the .deb that
# CPack makes of it (cpack --preset package). Everything is installed under
# CMAKE_INSTALL_PREFIX; the package puts it under /usr.

# Debian wants a maintainer's name and address. The project has no address:
# a packager's own comes from DEBFULLNAME and DEBEMAIL, as Debian's tools
# take it; otherwise the reserved .invalid domain says plainly that there is
# none to write to.
if(DEFINED ENV{DEBEMAIL})
  set(WALKER_MAINTAINER "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(WALKER_MAINTAINER "The walker project <nobody@walker.invalid>")
endif()

# The Debian changelog, one entry per release of packaging/releases. The
# newest must be this version: a release adds its entry there.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/releases)
file(READ ${CMAKE_CURRENT_LIST_DIR}/releases releases)
string(REPLACE ";" "\\;" releases "${releases}")  # keeps a change's semicolons
string(REPLACE "\n" ";" releases "${releases}")
set(changelog "")
set(entry_end "")
set(newest "")
foreach(line IN LISTS releases)
  if(line MATCHES "^#" OR line STREQUAL "")
    continue()
  elseif(line MATCHES "^([0-9][0-9.]*) ([A-Z][a-z][a-z], [0-9][0-9] [A-Z][a-z][a-z] [0-9]+ [0-9:]+ [+-][0-9]+)$")
    if(NOT newest)
      set(newest ${CMAKE_MATCH_1})
    endif()
    string(APPEND changelog "${entry_end}walker (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
    set(entry_end "\n -- ${WALKER_MAINTAINER}  ${CMAKE_MATCH_2}\n\n")
  elseif(line MATCHES "^  " AND entry_end)
    string(APPEND changelog "${line}\n")
  else()
    message(FATAL_ERROR "packaging/releases: not a release's \"VERSION DATE\" line nor a change: ${line}")
  endif()
endforeach()
string(REGEX REPLACE "\n\n$" "\n" entry_end "${entry_end}")
string(APPEND changelog "${entry_end}")
if(NOT newest VERSION_EQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/releases: the newest release is '${newest}', project() says ${PROJECT_VERSION}")
endif()
file(WRITE ${PROJECT_BINARY_DIR}/changelog.new "${changelog}")
configure_file(${PROJECT_BINARY_DIR}/changelog.new ${PROJECT_BINARY_DIR}/changelog COPYONLY)

# The manual page carries the project's version and is installed compressed,
# as is the changelog; gzip -n keeps the files the same from build to build.
# Its KEYS section lists the key bindings' table (docs/keys.tsv).
include(${PROJECT_SOURCE_DIR}/cmake/key_table.cmake)
walker_key_table(man MAN_KEYS)
configure_file(${PROJECT_SOURCE_DIR}/docs/walker.6.in ${PROJECT_BINARY_DIR}/walker.6 @ONLY)
add_custom_command(
  OUTPUT walker.6.gz changelog.gz
  COMMAND gzip -9nc walker.6 > walker.6.gz
  COMMAND gzip -9nc changelog > changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/walker.6 ${PROJECT_BINARY_DIR}/changelog
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  VERBATIM)
add_custom_target(walker_compressed_docs ALL DEPENDS walker.6.gz changelog.gz)

install(TARGETS walker RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_BINARY_DIR}/walker.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/walker.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The icons' sizes, in pixels; scripts/screenshots makes one of each, and
# .ci/check-package looks for each (walker-facts.sh).
set(WALKER_ICON_SIZES 64 128)
foreach(size IN LISTS WALKER_ICON_SIZES)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}x${size}/walker.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME walker)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "articulated walker walking in place in a 3-D window")
set(CPACK_PACKAGE_DESCRIPTION [=[
walker opens one OpenGL window through GLUT and shows an articulated walker
in flat colours: a hip block carrying two pairs of three-jointed legs, and a
turret whose barrel fires a beam for one frame. Left alone it walks in place,
an eight-phase gait with the body sinking and rising with the legs. The
keyboard turns the view, the turret and the legs, switches between solid and
wireframe drawing, fires, pauses, single-steps and starts an automatic dolly
and spin.]=])
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${WALKER_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The run-time dependencies are read off the program by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(CMAKE_CROSSCOMPILING)
  # A cross build (cmake/debian-cross.cmake) is packaged for its own
  # architecture, and its libraries are the sysroot's: scripts/arm gathers
  # their packages' shlibs and symbols in the sysroot's DEBIAN folder, where
  # dpkg-shlibdeps looks for a library that no installed package owns.
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${WALKER_DEB_ARCH})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_SYSROOT}/lib/${CMAKE_LIBRARY_ARCHITECTURE} ${CMAKE_SYSROOT}/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
set(CPACK_STRIP_FILES ON)
# CPack's Installed-Size adds up the sizes the file system gives the staged
# files and folders, which differ from ext4 to tmpfs: it is counted again.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CPACK_WALKER_PYTHON ${Python3_EXECUTABLE})
set(CPACK_WALKER_INSTALLED_SIZE ${PROJECT_SOURCE_DIR}/tools/deb_installed_size.py)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_installed_size.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
