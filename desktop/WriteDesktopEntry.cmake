# Writes the desktop entry at install time, when the installed path of the
# launcher is known (the prefix may be given only then). Included from the
# install script with APP_ID, TEMPLATE and PROGRAM_DIR set.

set(PAGEWRIGHT_APP_ID ${APP_ID})
set(PAGEWRIGHT_LAUNCHER_PATH "${CMAKE_INSTALL_PREFIX}/${PROGRAM_DIR}/pagewright-open")
# Exec takes a path with blanks or quotes in double quotes, with the
# characters a shell would read escaped by a backslash; TryExec takes it
# as it is.
set(PAGEWRIGHT_LAUNCHER "${PAGEWRIGHT_LAUNCHER_PATH}")
if(PAGEWRIGHT_LAUNCHER MATCHES "[^-A-Za-z0-9_./+]")
  string(REGEX REPLACE "([\\\"`$])" "\\\\\\1" quoted "${PAGEWRIGHT_LAUNCHER}")
  set(PAGEWRIGHT_LAUNCHER "\"${quoted}\"")
endif()

file(READ "${TEMPLATE}" entry)
string(CONFIGURE "${entry}" entry @ONLY)
set(dest "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications")
file(MAKE_DIRECTORY "${dest}")
file(WRITE "${dest}/${APP_ID}.desktop" "${entry}")
message(STATUS "Writing: ${dest}/${APP_ID}.desktop")
