# The Debian package: `cpack -G DEB` in a release build folder, after building the program.
# Debian keeps a package's copyright and change log beside its documentation, the log compressed
# without name or time so that every build packs the same bytes.
install(FILES resources/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/changelog
    OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS resources/debian/changelog)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move finished downloads into a destination folder")
# Lines of at most 80 characters: dpkg shows them as they are.
set(CPACK_PACKAGE_DESCRIPTION "\
vorlund tidies up after a download client. You pick the folder the client
downloads into and the folder where finished downloads belong; once a second
vorlund moves every finished media file (mp3, wma, mpg, zip, jpg, gif) from the
first into the second, and shows how many media files the destination holds and
how many partial downloads are still arriving.

A move never replaces a file, and a move that is cut off leaves the file whole
in one of the two folders.")
set(CPACK_STRIP_FILES ON)
# Folders the install step makes would follow the umask; Debian wants them 755 whatever it is.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "vorlund maintainers <maintainers@vorlund.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
