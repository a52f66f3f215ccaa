# vornel-sim plays the same games as it always has: each run's checksum (of
# every hand's deal, bids, cards and score) is the one recorded when the
# engine was last known to play them. A faster engine, a different compiler
# or build options must leave every one of them as it is.
# Called with -DSIM=<path to vornel-sim>.
set(runs
    "--games 1000 --seed 42|d69f9ed6bd4330f6"
    "--games 4 --seed 7 --team1 expert|a77229479d543104"
    "--games 3 --seed 9 --team2 expert --jobs 1|fff73bdb6cb55fcb"
    "--games 200 --seed 5 --duplicate|41c1486ec5b75345")
foreach(run IN LISTS runs)
  string(REPLACE "|" ";" parts "${run}")
  list(GET parts 0 arguments)
  list(GET parts 1 expected)
  set(shown "${arguments}")
  separate_arguments(arguments)
  execute_process(COMMAND ${SIM} ${arguments} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "vornel-sim ${shown} failed (${rc}):\n${out}")
  endif()
  if(NOT out MATCHES "(^|\n)checksum: ([0-9a-f]+)\n")
    message(FATAL_ERROR "vornel-sim ${shown} printed no checksum:\n${out}")
  endif()
  if(NOT CMAKE_MATCH_2 STREQUAL expected)
    message(FATAL_ERROR "vornel-sim ${shown} printed checksum ${CMAKE_MATCH_2}, not ${expected}")
  endif()
endforeach()
