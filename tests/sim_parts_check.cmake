# vornel-sim --first-game: a run played in parts adds up to the run played
# whole, for the standard players alone and with an expert team; a part
# that starts later plays other games. Called with -DSIM=<path to vornel-sim>.
set(counted games hands thrown_in_hands team1_wins team2_wins alone_hands marches vornels decisions_expert)

function(run_sim out_var)
  execute_process(COMMAND ${SIM} --seed 17 --target 5 ${ARGN} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "vornel-sim ${ARGN} failed (${rc}):\n${out}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/sim_figures.cmake)

# Each case: the teams, the whole run's games, where the second part begins.
foreach(case "--team1;standard;6;2" "--team1;expert;3;1" "--team2;expert;3;2")
  list(GET case 0 team_option)
  list(GET case 1 kind)
  list(GET case 2 games)
  list(GET case 3 split)
  math(EXPR rest "${games} - ${split}")
  run_sim(whole --games ${games} --jobs 1 ${team_option} ${kind})
  run_sim(first --games ${split} --first-game 0 ${team_option} ${kind})
  run_sim(second --games ${rest} --first-game ${split} ${team_option} ${kind})
  foreach(key ${counted})
    figure(w "${whole}" ${key})
    figure(a "${first}" ${key})
    figure(b "${second}" ${key})
    math(EXPR sum "${a} + ${b}")
    if(NOT sum EQUAL w)
      message(FATAL_ERROR "${kind} ${team_option}: ${key} ${a} + ${b} != ${w} of the whole run")
    endif()
  endforeach()
  figure(games_first "${first}" games)
  if(NOT games_first EQUAL split)
    message(FATAL_ERROR "the first part played ${games_first} games, not ${split}")
  endif()
endforeach()

# The same number of games from a later start are other games.
run_sim(early --games 4 --first-game 0)
run_sim(late --games 4 --first-game 4)
figure(early_sum "${early}" checksum)
figure(late_sum "${late}" checksum)
if(early_sum STREQUAL late_sum)
  message(FATAL_ERROR "games 0..3 and 4..7 gave the same checksum ${early_sum}")
endif()
