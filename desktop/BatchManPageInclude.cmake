# Writes the help2man include file of pagewright-batch: the synopsis, the
# description, the options, the exit status and one entry per command, all
# taken from the program's own help texts, so that the manual page says
# what the program says. help2man's own reading of the help would repeat the
# usage block under DESCRIPTION.
#
# cmake -DPROGRAM=path/to/pagewright-batch -DOUTPUT=file -P BatchManPageInclude.cmake

function(run_help out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help
    OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed: ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Plain text as roff: backslashes and minus signs escaped, no line taken for
# a request, blank lines as paragraph breaks.
function(to_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(REGEX REPLACE "\n\n+" "\n.PP\n" text "${text}")
  string(STRIP "${text}" text)
  string(REPLACE "@SEMICOLON@" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

run_help(help)

# The paragraphs of the program's help after its usage: an options list
# ("Common options:" and indented "--option  text" lines), the exit status,
# and the description.
set(description "")
set(options "")
set(exit_status "")
# Semicolons would split the list of paragraphs; they wait behind a mark.
string(REPLACE ";" "@SEMICOLON@" paragraphs "${help}")
string(REGEX REPLACE "\n\n+" ";" paragraphs "${paragraphs}")
list(POP_FRONT paragraphs)
foreach(paragraph IN LISTS paragraphs)
  if(paragraph MATCHES "^[A-Za-z ]*options:\n")
    string(REGEX MATCHALL "\n  [^\n]+" lines "${paragraph}")
    foreach(line ${lines})
      if(line MATCHES "^\n  ([^ ]+) +(.*)$")
        to_roff(name "${CMAKE_MATCH_1}")
        to_roff(text "${CMAKE_MATCH_2}")
        string(APPEND options ".TP\n.B ${name}\n${text}\n")
      endif()
    endforeach()
  elseif(paragraph MATCHES "^Exit status: (.*)$")
    to_roff(exit_status "${CMAKE_MATCH_1}")
  else()
    to_roff(text "${paragraph}")
    string(APPEND description "${text}\n.PP\n")
  endif()
endforeach()
if(NOT description OR NOT options OR NOT exit_status)
  message(FATAL_ERROR "the help of ${PROGRAM} is not laid out as expected")
endif()
string(REGEX REPLACE "\n\\.PP\n$" "" description "${description}")

string(REGEX MATCHALL "\n  pagewright-batch [^\n]*" usages "${help}")
set(synopsis "")
set(commands "")
foreach(usage ${usages})
  string(STRIP "${usage}" usage)
  string(REGEX REPLACE " +" " " usage "${usage}")
  to_roff(line "${usage}")
  string(APPEND synopsis "${line}\n.br\n")
  if(usage MATCHES "^pagewright-batch ([a-z]+) ")
    list(APPEND commands ${CMAKE_MATCH_1})
  endif()
endforeach()
if(NOT commands)
  message(FATAL_ERROR "no commands found in the help of ${PROGRAM}")
endif()

set(entries "")
foreach(command ${commands})
  run_help(text ${command})
  # The synopsis is above; the common options are in the description.
  string(REGEX REPLACE "^usage: [^\n]*\n" "" text "${text}")
  string(REGEX REPLACE "\nOptions: [^\n]*\n*$" "" text "${text}")
  to_roff(text "${text}")
  string(APPEND entries ".TP\n.B ${command}\n${text}\n")
endforeach()

file(WRITE ${OUTPUT} "[SYNOPSIS]
.nh
.ad l
${synopsis}.ad
.hy
[=DESCRIPTION]
${description}

[=OPTIONS]
${options}
[COMMANDS]
${entries}
[EXIT STATUS]
${exit_status}

[FILES]
.TP
.I Pagewright.ini
The settings, shared with
.BR pagewright (1):
beside the program in its own folder when that folder is writable, else in
.IR \$XDG_CONFIG_HOME/pagewright/ ,
by default
.IR ~/.config/pagewright/ .
.TP
.IR tiffinfo ,\\ tiffcp ,\\ tiffsplit
The libtiff tools that do the work, linked into the program's folder.

[SEE ALSO]
.BR pagewright (1),
.BR tiffcp (1),
.BR tiffinfo (1),
.BR tiffsplit (1)
")
