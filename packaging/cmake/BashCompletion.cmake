# Writes the bash completion of lumetrevisor-cli from its --help output and
# each command's --help, run as
#   cmake -DPROGRAM=... -DOUTPUT=... -P BashCompletion.cmake
# An option followed by a value word takes a value: a|b gives the choices,
# a word naming a device, file or path completes names, any other (N,
# SECONDS, H:M:S) nothing.

foreach(var PROGRAM OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "BashCompletion.cmake: ${var} is not set")
  endif()
endforeach()

function(program_help out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help
    OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR text STREQUAL "")
    list(JOIN ARGN " " args)
    message(FATAL_ERROR "${PROGRAM} ${args} --help failed (${status}): ${errors}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

program_help(help)
get_filename_component(program_name "${PROGRAM}" NAME)
string(REGEX MATCH "\nCommands:\n(  [^\n]+\n)+" command_list "${help}")
string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" lines "${command_list}")
set(commands "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" command)
  list(APPEND commands ${command})
endforeach()
if(NOT commands)
  message(FATAL_ERROR "${program_name} --help lists no commands")
endif()

set(option_cases "")
set(value_cases "")
foreach(command IN LISTS commands)
  program_help(command_help ${command})
  set(options "")
  # "--name" with what follows it: one blank and a value word, or nothing.
  string(REGEX MATCHALL "--[a-z][a-z-]*( [^] \n)]+)?" uses "${command_help}")
  foreach(use IN LISTS uses)
    string(REGEX MATCH "^--[a-z][a-z-]*" option "${use}")
    list(APPEND options ${option})
    string(REGEX REPLACE "^--[a-z][a-z-]* ?" "" value "${use}")
    if(value STREQUAL "" OR DEFINED kind_${command}_${option})
      continue()
    endif()
    if(value MATCHES "^[a-z0-9]+(\\|[a-z0-9]+)+$")
      string(REPLACE "|" " " choices "${value}")
      set(kind_${command}_${option} "words \"${choices}\"")
    elseif(value MATCHES "^[A-Z]*DEVICE$")
      set(kind_${command}_${option} "device")
    elseif(value MATCHES "FILE|PATH|OUT|\\.[a-z]+$")
      set(kind_${command}_${option} "file")
    elseif(value MATCHES "^[A-Z][A-Z:]*$")
      set(kind_${command}_${option} "none")
    else()
      continue()  # a word of the description
    endif()
    string(APPEND value_cases "    \"${command} ${option}\") _lumetrevisor_cli_value ${kind_${command}_${option}}; return ;;\n")
  endforeach()
  list(APPEND options --help)
  list(REMOVE_DUPLICATES options)
  list(SORT options)
  list(JOIN options " " options)
  string(APPEND option_cases "    ${command}) options=\"${options}\" ;;\n")
endforeach()
list(JOIN commands " " commands)

file(WRITE "${OUTPUT}" "# bash completion for ${program_name}
# Generated from ${program_name} --help while building; do not edit.

_lumetrevisor_cli_value() {
  local cur=\${COMP_WORDS[COMP_CWORD]}
  case $1 in
    words) COMPREPLY=($(compgen -W \"$2\" -- \"$cur\")) ;;
    device)
      if [[ -z $cur ]]; then
        COMPREPLY=($(compgen -G '/dev/lx5810-*'; compgen -G '/dev/ttyACM*'; compgen -G '/dev/ttyUSB*'))
      else
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- \"$cur\"))
      fi ;;
    file)
      compopt -o filenames 2>/dev/null
      COMPREPLY=($(compgen -f -- \"$cur\")) ;;
    *) COMPREPLY=() ;;
  esac
}

_lumetrevisor_cli() {
  local cur=\${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    COMPREPLY=($(compgen -W \"${commands} --help\" -- \"$cur\"))
    return
  fi
  local command=\${COMP_WORDS[1]} prev=\${COMP_WORDS[COMP_CWORD-1]} options=
  case \"$command $prev\" in
${value_cases}  esac
  case $command in
${option_cases}    *) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))
  else
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- \"$cur\"))
  fi
}

complete -F _lumetrevisor_cli ${program_name}
")
