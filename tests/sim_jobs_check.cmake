# vornel-sim gives the same figures whatever number of threads plays the
# games: everything but the times must match between --jobs 1 and --jobs 3.
# Called with -DSIM=<path to vornel-sim>.
foreach(jobs 1 3)
  execute_process(COMMAND ${SIM} --games 4 --seed 11 --team1 expert --team2 standard --jobs ${jobs}
                  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "vornel-sim --jobs ${jobs} failed (${rc}):\n${out}")
  endif()
  string(REGEX REPLACE "(seconds|hands_per_second|expert_ms_mean|expert_ms_max): [^\n]*\n" "" figures_${jobs} "${out}")
endforeach()
if(NOT figures_1 STREQUAL figures_3)
  message(FATAL_ERROR "--jobs 1 and --jobs 3 differ:\n${figures_1}\n---\n${figures_3}")
endif()
string(FIND "${figures_1}" "decisions_expert: " at)
if(at EQUAL -1)
  message(FATAL_ERROR "no expert decisions reported:\n${figures_1}")
endif()
