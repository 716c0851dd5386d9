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

# The installed programs live in one program folder with the tool links
# beside them; bin/ holds links to the programs.
set(PAGEWRIGHT_INSTALL_PROGRAM_DIR lib/pagewright)

# Installs TARGETS into the program folder with the tool links beside them,
# and a link to each in the binary folder. A tool under the install prefix
# is linked by a relative path, so that the tree can be moved as a whole (a
# package installs it under /usr beside the tools).
function(pagewright_install_with_tools)
  if(WIN32)
    # One folder holds the programs and the tools they run.
    install(TARGETS ${ARGN} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(PROGRAMS ${PAGEWRIGHT_TIFFINFO} ${PAGEWRIGHT_TIFFCP} ${PAGEWRIGHT_TIFFSPLIT}
      DESTINATION ${CMAKE_INSTALL_BINDIR})
    return()
  endif()
  install(TARGETS ${ARGN} RUNTIME DESTINATION ${PAGEWRIGHT_INSTALL_PROGRAM_DIR})
  foreach(target ${ARGN})
    pagewright_install_bin_link($<TARGET_FILE_NAME:${target}>)
  endforeach()
  set(tools ${PAGEWRIGHT_TOOLS})
  while(tools)
    list(POP_FRONT tools name path)
    install(CODE "
      set(folder \"\${CMAKE_INSTALL_PREFIX}/${PAGEWRIGHT_INSTALL_PROGRAM_DIR}\")
      set(dest \"\$ENV{DESTDIR}\${folder}\")
      set(target \"${path}\")
      cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX \"\${target}\" NORMALIZE inside)
      if(inside)
        file(RELATIVE_PATH target \"\${folder}\" \"\${target}\")
      endif()
      file(MAKE_DIRECTORY \"\${dest}\")
      file(CREATE_LINK \"\${target}\" \"\${dest}/${name}\" SYMBOLIC)
      message(STATUS \"Linking: \${dest}/${name} -> \${target}\")")
  endwhile()
endfunction()

# Links bin/NAME to NAME in the program folder, by a relative path.
function(pagewright_install_bin_link name)
  install(CODE "
    set(bin \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(RELATIVE_PATH target \"\${bin}\" \"\${CMAKE_INSTALL_PREFIX}/${PAGEWRIGHT_INSTALL_PROGRAM_DIR}/${name}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${bin}\")
    file(CREATE_LINK \"\${target}\" \"\$ENV{DESTDIR}\${bin}/${name}\" SYMBOLIC)
    message(STATUS \"Linking: \$ENV{DESTDIR}\${bin}/${name} -> \${target}\")")
endfunction()
