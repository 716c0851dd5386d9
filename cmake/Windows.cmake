# The Windows build's additions to the core: the static libraries libtiff
# needs, the POSIX file calls over the wide-character API, and the system
# libraries of the Windows siblings.

find_library(PAGEWRIGHT_JPEG_LIBRARY NAMES libjpeg.a jpeg REQUIRED)
find_library(PAGEWRIGHT_ZLIB_LIBRARY NAMES libz.a z REQUIRED)

# Compiled without the forced include below: it defines the calls.
add_library(pagewright_posix_calls STATIC
  platform/PosixCalls_win32.cpp
  platform/WideText_win32.cpp)
target_include_directories(pagewright_posix_calls PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pagewright_posix_calls PUBLIC TIFF::TIFF)

target_link_libraries(pagewright_core PUBLIC pagewright_posix_calls
  ${PAGEWRIGHT_JPEG_LIBRARY} ${PAGEWRIGHT_ZLIB_LIBRARY} shell32 ole32 uuid)
# TIFF::TIFF names the static library alone; its image codecs follow it.
set_property(TARGET TIFF::TIFF APPEND PROPERTY INTERFACE_LINK_LIBRARIES
  ${PAGEWRIGHT_JPEG_LIBRARY} ${PAGEWRIGHT_ZLIB_LIBRARY})

# pagewright_use_posix_calls(TARGET): the target's sources see the POSIX file
# calls they make as the UTF-8 wrappers of platform/PosixCalls_win32.h.
function(pagewright_use_posix_calls target)
  target_compile_options(${target} PRIVATE
    "SHELL:-include ${PROJECT_SOURCE_DIR}/platform/PosixCalls_win32.h")
endfunction()
pagewright_use_posix_calls(pagewright_core)

# The installer: `cmake --build build-win --target installer` (needs makensis).
find_program(PAGEWRIGHT_MAKENSIS makensis)
if(PAGEWRIGHT_MAKENSIS AND PAGEWRIGHT_BUILD_GUI)
  set(PAGEWRIGHT_SETUP ${PROJECT_BINARY_DIR}/pagewright-${PROJECT_VERSION}-setup.exe)
  add_custom_target(installer
    COMMAND ${PAGEWRIGHT_MAKENSIS} -V2 -DBINDIR=${PROJECT_BINARY_DIR}/bin -DVERSION=${PROJECT_VERSION}
            -DOUTFILE=${PAGEWRIGHT_SETUP} ${PROJECT_SOURCE_DIR}/installer/pagewright.nsi
    DEPENDS pagewright pagewright-batch
    BYPRODUCTS ${PAGEWRIGHT_SETUP}
    COMMENT "Windows installer ${PAGEWRIGHT_SETUP}"
    VERBATIM)
endif()
