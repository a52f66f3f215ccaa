# The headless servers' command lines: each unusable argument is refused with
# exit 2, a line naming what is wrong and the usage; --help and --version
# answer without listening anywhere. Called with -DHOST=<vornel-host>
# -DLOBBY=<zelmo7-lobby-server> -DVERSION=<project version>.

# Each case: program;expected exit;text stderr (or stdout for 0) must hold;arguments...
set(cases
  "HOST|2|vornel-host: --port needs a port number 0..65535|--port|65536"
  "HOST|2|vornel-host: --port needs a port number 0..65535|--port"
  "HOST|2|vornel-host: --speed needs a whole number of milliseconds, 1 or more|--speed|0"
  "HOST|2|vornel-host: --speed needs a whole number of milliseconds, 1 or more|--speed|12ms"
  "HOST|2|vornel-host: --players needs standard or expert|--players|wizard"
  "HOST|2|vornel-host: unknown argument --max-players|--max-players|5"
  "HOST|2|vornel-host: --port needs a port number 0..65535|--speed|20|--port|-1"
  "HOST|0|Usage: vornel-host|--speed|20|--help"
  "HOST|0|vornel-host ${VERSION}|--version"
  "LOBBY|2|zelmo7-lobby-server: --max-players needs a whole number 1..100000|--max-players|0"
  "LOBBY|2|zelmo7-lobby-server: --max-players needs a whole number 1..100000|--max-players|100001"
  "LOBBY|2|zelmo7-lobby-server: --port needs a port number 0..65535|--port|99999999999999999999"
  "LOBBY|2|zelmo7-lobby-server: unknown argument --speed|--speed|20"
  "LOBBY|0|Usage: zelmo7-lobby-server|-h"
  "LOBBY|0|zelmo7-lobby-server ${VERSION} (lobby protocol|--version"
)

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(POP_FRONT fields which expected text)
  set(program ${${which}})
  execute_process(COMMAND ${program} ${fields} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc
                  TIMEOUT 20)
  if(NOT rc STREQUAL expected)
    message(FATAL_ERROR "${which} ${fields}: exit ${rc}, wanted ${expected}\n${out}${err}")
  endif()
  if(expected EQUAL 0)
    set(said "${out}")
  else()
    set(said "${err}")
    string(FIND "${err}" "Usage:" usage_at)
    if(usage_at EQUAL -1)
      message(FATAL_ERROR "${which} ${fields}: the usage is missing\n${err}")
    endif()
  endif()
  string(FIND "${said}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${which} ${fields}: wanted \"${text}\" in\n${said}")
  endif()
endforeach()
