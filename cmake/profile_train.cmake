# Runs the training games and copies the counts beside the objects they guide
# (see profile_guided.cmake). Counts add up from run to run, so the old ones
# go first. A failed run leaves no counts: the libraries are then built as
# without training, and the build goes on.
#   -DTRAINER=... -DHANDS=... -DCOUNTED_DIRS=dir;... -DPAIRS=from>to;... -DSTAMP=...
foreach(dir IN LISTS COUNTED_DIRS)
  file(GLOB_RECURSE old "${dir}/*.gcda")
  if(old)
    file(REMOVE ${old})
  endif()
endforeach()
foreach(pair IN LISTS PAIRS)
  string(REPLACE ">" ";" ends "${pair}")
  list(GET ends 1 to)
  file(REMOVE "${to}")
endforeach()

execute_process(COMMAND "${TRAINER}" ${HANDS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 120)
if(NOT rc EQUAL 0)
  message(WARNING "The training games failed (${rc}); the engine is built without a profile.\n${out}${err}")
else()
  set(copied 0)
  foreach(pair IN LISTS PAIRS)
    string(REPLACE ">" ";" ends "${pair}")
    list(GET ends 0 from)
    list(GET ends 1 to)
    if(EXISTS "${from}")
      file(COPY_FILE "${from}" "${to}")
      math(EXPR copied "${copied} + 1")
    endif()
  endforeach()
  message(STATUS "Training games: ${out}counts for ${copied} sources")
endif()
file(TOUCH "${STAMP}")
