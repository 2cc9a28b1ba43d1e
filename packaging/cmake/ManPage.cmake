# Writes a program's manual page from its --help output (and, for a program
# with commands, from each command's --help), run as
#   cmake -DPROGRAM=... -DNAME=... -DSUMMARY=... -DVERSION=... -DDATE=...
#         -DOUTPUT=... [-DSEE_ALSO=a;b] -P ManPage.cmake
# A program has commands when its help lists them under "Commands:".

foreach(var PROGRAM NAME SUMMARY VERSION DATE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ManPage.cmake: ${var} is not set")
  endif()
endforeach()

function(program_help out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help
    OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR text STREQUAL "")
    list(JOIN ARGN " " args)
    message(FATAL_ERROR "${PROGRAM} ${args} --help failed (${status}): ${errors}")
  endif()
  # Some programs name themselves by the path they were started from.
  string(REPLACE "${PROGRAM}" "${NAME}" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Escapes text for roff: backslashes, minus signs and quotes (kept as the
# program prints them), and lines that would read as requests.
function(roff_escape out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REPLACE "'" "\\(aq" text "${text}")
  string(REPLACE "`" "\\(ga" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The help text as a block kept line for line, as the program prints it.
function(roff_block out text)
  string(REGEX REPLACE "\n+$" "" text "${text}")
  string(REGEX REPLACE "^\n+" "" text "${text}")
  roff_escape(text "${text}")
  # An empty line in a no-fill block is kept; roff warns about none of them.
  set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

# Splits a help text into its usage lines (the first line starting with
# "Usage:" and the indented lines right after it) and the rest.
function(split_usage usage_out rest_out text)
  string(REGEX MATCH "Usage: [^\n]*(\n[ \t]+[^\n]*)*" usage "${text}")
  if(usage)
    string(FIND "${text}" "${usage}" at)
    string(LENGTH "${usage}" length)
    string(SUBSTRING "${text}" 0 ${at} before)
    math(EXPR after "${at} + ${length}")
    string(SUBSTRING "${text}" ${after} -1 rest)
    string(REGEX REPLACE "^Usage: +" "" usage "${usage}")
    string(REGEX REPLACE "\n[ \t]+" " " usage "${usage}")
    set(text "${before}${rest}")
  endif()
  set(${usage_out} "${usage}" PARENT_SCOPE)
  set(${rest_out} "${text}" PARENT_SCOPE)
endfunction()

program_help(help)
split_usage(usage description "${help}")

string(TOUPPER "${NAME}" title)
roff_escape(title "${title}")
roff_escape(name "${NAME}")
roff_escape(summary "${SUMMARY}")
set(page ".\\\" Generated from ${NAME} --help while building; do not edit.\n")
string(APPEND page ".TH \"${title}\" 1 \"${DATE}\" \"Lumetrevisor ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${name} \\- ${summary}\n")
if(usage)
  roff_escape(usage "${usage}")
  string(APPEND page ".SH SYNOPSIS\n.nh\n.ad l\n${usage}\n.ad\n.hy\n")
endif()

# A program with commands: each command's own help becomes a subsection.
string(REGEX MATCH "\nCommands:\n(  [^\n]+\n)+" command_list "${help}")
set(commands "")
if(command_list)
  string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" lines "${command_list}")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" command)
    list(APPEND commands ${command})
  endforeach()
endif()

roff_block(block "${description}")
string(APPEND page ".SH DESCRIPTION\n${block}")
if(commands)
  string(APPEND page ".SH COMMANDS\n")
  foreach(command IN LISTS commands)
    program_help(command_help ${command})
    roff_block(block "${command_help}")
    string(APPEND page ".SS ${command}\n${block}")
  endforeach()
endif()

if(SEE_ALSO)
  string(APPEND page ".SH SEE ALSO\n")
  set(first TRUE)
  foreach(other IN LISTS SEE_ALSO)
    roff_escape(other "${other}")
    if(NOT first)
      string(APPEND page ",\n")
    endif()
    string(APPEND page ".BR ${other} (1)")
    set(first FALSE)
  endforeach()
  string(APPEND page "\n")
endif()

file(WRITE "${OUTPUT}" "${page}")
