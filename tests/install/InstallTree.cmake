# Installs the build into a fresh prefix for the tests of the installed tree.
# cmake -DBUILD=build-folder -DPREFIX=prefix -P InstallTree.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "install into ${PREFIX} failed: ${status}")
endif()
