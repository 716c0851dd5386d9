# The Debian package: `cpack -G DEB` in the build folder (scripts/package).
# Its dependencies are read from the installed programs, plus the libtiff
# tools that the program folder links to.

set(PAGEWRIGHT_CONTACT "The Pagewright developers <support@pagewright.example.org>")

# Debian wants a copyright file and a compressed changelog in the package's
# documentation folder.
string(TIMESTAMP PAGEWRIGHT_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/desktop/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
  COMMAND ${PAGEWRIGHT_GZIP} -9 -n -c ${PROJECT_BINARY_DIR}/debian/changelog > ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog)
add_custom_target(pagewright_debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pagewright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagewright)
set(CPACK_PACKAGE_VENDOR "The Pagewright developers")
set(CPACK_PACKAGE_CONTACT "${PAGEWRIGHT_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "merge, split, recompress and extract pages of TIFF files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pagewright.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libtiff-tools)
# CPack puts the summary above it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pagewright keeps a list of TIFF files in one window and merges them into one
multi-page file, splits them into single pages, recompresses them (none, LZW,
ZIP, PackBits, CCITT G3 or G4) or copies a range of pages out of them. It is
made for scans, faxes and archives.
.
The package holds the window program pagewright and the command-line program
pagewright-batch, which runs the same jobs without the window.")
include(CPack)
