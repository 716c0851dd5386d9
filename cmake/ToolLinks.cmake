# The engine looks for tiffinfo, tiffcp and tiffsplit in the program's own
# folder. These helpers put links to the system's tools there, both in the
# build tree and in an installed tree.

# On Windows, links need a privilege; the tools built with our libtiff are
# copied there instead.

if(WIN32)
  set(tool_search HINTS ${PAGEWRIGHT_MINGW_PREFIX}/bin NO_DEFAULT_PATH)
  set(tool_suffix .exe)
  set(tool_place copy_if_different)
else()
  set(tool_search)
  set(tool_suffix)
  set(tool_place create_symlink)
endif()
find_program(PAGEWRIGHT_TIFFINFO tiffinfo${tool_suffix} ${tool_search} REQUIRED)
find_program(PAGEWRIGHT_TIFFCP tiffcp${tool_suffix} ${tool_search} REQUIRED)
find_program(PAGEWRIGHT_TIFFSPLIT tiffsplit${tool_suffix} ${tool_search} REQUIRED)
set(PAGEWRIGHT_TOOLS
  tiffinfo${tool_suffix} ${PAGEWRIGHT_TIFFINFO}
  tiffcp${tool_suffix} ${PAGEWRIGHT_TIFFCP}
  tiffsplit${tool_suffix} ${PAGEWRIGHT_TIFFSPLIT})
set(PAGEWRIGHT_TOOL_PLACE ${tool_place})

# Links the three tools beside the built file of TARGET after every build.
function(pagewright_link_tools_beside target)
  set(cmds)
  set(tools ${PAGEWRIGHT_TOOLS})
  while(tools)
    list(POP_FRONT tools name path)
    list(APPEND cmds COMMAND ${CMAKE_COMMAND} -E ${PAGEWRIGHT_TOOL_PLACE} ${path} $<TARGET_FILE_DIR:${target}>/${name})
  endwhile()
  add_custom_command(TARGET ${target} POST_BUILD ${cmds} VERBATIM)
endfunction()

# Installs TARGETS into the binary folder with the tool links beside them.
function(pagewright_install_with_tools)
  install(TARGETS ${ARGN} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(WIN32)
    install(PROGRAMS ${PAGEWRIGHT_TIFFINFO} ${PAGEWRIGHT_TIFFCP} ${PAGEWRIGHT_TIFFSPLIT}
      DESTINATION ${CMAKE_INSTALL_BINDIR})
    return()
  endif()
  set(tools ${PAGEWRIGHT_TOOLS})
  while(tools)
    list(POP_FRONT tools name path)
    install(CODE "
      set(dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(MAKE_DIRECTORY \"\${dest}\")
      file(CREATE_LINK \"${path}\" \"\${dest}/${name}\" SYMBOLIC)
      message(STATUS \"Linking: \${dest}/${name} -> ${path}\")")
  endwhile()
endfunction()
