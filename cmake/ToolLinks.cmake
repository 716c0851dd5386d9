# The engine looks for tiffinfo, tiffcp and tiffsplit in the program's own
# folder. These helpers put links to the system's tools there, both in the
# build tree and in an installed tree.

find_program(PAGEWRIGHT_TIFFINFO tiffinfo REQUIRED)
find_program(PAGEWRIGHT_TIFFCP tiffcp REQUIRED)
find_program(PAGEWRIGHT_TIFFSPLIT tiffsplit REQUIRED)
set(PAGEWRIGHT_TOOLS
  tiffinfo ${PAGEWRIGHT_TIFFINFO}
  tiffcp ${PAGEWRIGHT_TIFFCP}
  tiffsplit ${PAGEWRIGHT_TIFFSPLIT})

# Links the three tools beside the built file of TARGET after every build.
function(pagewright_link_tools_beside target)
  set(cmds)
  set(tools ${PAGEWRIGHT_TOOLS})
  while(tools)
    list(POP_FRONT tools name path)
    list(APPEND cmds COMMAND ${CMAKE_COMMAND} -E create_symlink ${path} $<TARGET_FILE_DIR:${target}>/${name})
  endwhile()
  add_custom_command(TARGET ${target} POST_BUILD ${cmds} VERBATIM)
endfunction()

# Installs TARGETS into the binary folder with the tool links beside them.
function(pagewright_install_with_tools)
  install(TARGETS ${ARGN} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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
