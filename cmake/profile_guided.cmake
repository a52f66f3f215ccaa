# Profile-guided optimisation of the engine and the computer players, for a
# release build with GCC. A simulated hand is a long chain of small, branchy
# calls; counts of which way each branch went, taken from real games, let the
# compiler lay out and inline the code for the paths games take.
#
# 1. The same sources are built a second time, with counters, into
#    vornel_engine_counted and vornel_players_counted.
# 2. vornel-profile-train, linked against those, plays simulated hands, whole
#    games and a few expert games (a few seconds, no network); the counts it
#    leaves are copied beside the objects of vornel_engine and vornel_players
#    (profile_train.cmake).
# 3. vornel_engine and vornel_players are compiled with -fprofile-use.
#
# Only the code's layout changes: every decision and every game stays the same
# (the sim_same_games_as_ever test checks known runs). When the training
# fails, no counts are copied and the libraries are built as without it.

set(_trainer_hands 150000)
set(_pairs)
set(_counted_dirs)
foreach(lib vornel_engine vornel_players)
  get_target_property(_sources ${lib} SOURCES)
  get_target_property(_source_dir ${lib} SOURCE_DIR)
  get_target_property(_binary_dir ${lib} BINARY_DIR)
  set(_absolute)
  foreach(_source IN LISTS _sources)
    cmake_path(ABSOLUTE_PATH _source BASE_DIRECTORY "${_source_dir}" OUTPUT_VARIABLE _path)
    list(APPEND _absolute "${_path}")
    # Where each build leaves a source's counts: beside its object, in the
    # folder CMake keeps for the target.
    cmake_path(RELATIVE_PATH _path BASE_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE _relative)
    cmake_path(GET _source FILENAME _name)
    list(APPEND _pairs "${PROJECT_BINARY_DIR}/CMakeFiles/${lib}_counted.dir/${_relative}.gcda>${_binary_dir}/CMakeFiles/${lib}.dir/${_name}.gcda")
  endforeach()
  add_library(${lib}_counted STATIC EXCLUDE_FROM_ALL ${_absolute})
  target_include_directories(${lib}_counted PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_features(${lib}_counted PUBLIC cxx_std_20)
  target_compile_options(${lib}_counted PRIVATE -fprofile-generate -fprofile-update=single)
  # Built as the real library is, so the compiler sees the same code.
  set_property(TARGET ${lib}_counted PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ${VORNEL_CROSS_FILE_OPTIMISATION})
  # The counts are written beside the object the compiler was told, so the
  # counting objects are compiled directly, never through a compiler cache.
  set_property(TARGET ${lib}_counted PROPERTY CXX_COMPILER_LAUNCHER "")
  list(APPEND _counted_dirs "${PROJECT_BINARY_DIR}/CMakeFiles/${lib}_counted.dir")
endforeach()
target_link_libraries(vornel_engine_counted PUBLIC vornel_version)
target_link_libraries(vornel_players_counted PUBLIC vornel_engine_counted)

add_executable(vornel-profile-train EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/vornel_profile_train.cpp)
target_link_libraries(vornel-profile-train PRIVATE vornel_players_counted)
target_link_options(vornel-profile-train PRIVATE -fprofile-generate)
set_property(TARGET vornel-profile-train PROPERTY INTERPROCEDURAL_OPTIMIZATION_RELEASE ${VORNEL_CROSS_FILE_OPTIMISATION})
set_property(TARGET vornel-profile-train PROPERTY CXX_COMPILER_LAUNCHER "")

set(_stamp "${PROJECT_BINARY_DIR}/profile/trained.stamp")
add_custom_command(
  OUTPUT "${_stamp}"
  COMMAND ${CMAKE_COMMAND} "-DTRAINER=$<TARGET_FILE:vornel-profile-train>" "-DHANDS=${_trainer_hands}"
          "-DCOUNTED_DIRS=${_counted_dirs}" "-DPAIRS=${_pairs}" "-DSTAMP=${_stamp}"
          -P ${PROJECT_SOURCE_DIR}/cmake/profile_train.cmake
  DEPENDS vornel-profile-train ${PROJECT_SOURCE_DIR}/cmake/profile_train.cmake
  COMMENT "Playing the training games for the engine's profile"
  VERBATIM)
add_custom_target(vornel_profile DEPENDS "${_stamp}")

foreach(lib vornel_engine vornel_players)
  add_dependencies(${lib} vornel_profile)
  # Sources without counts (none ran, or the training failed) are compiled
  # as usual; counts from older sources are not an error either.
  target_compile_options(${lib} PRIVATE -fprofile-use -fprofile-partial-training -Wno-missing-profile
                                        -Wno-coverage-mismatch)
  # Nor at the cross-file optimisation when a program is linked.
  target_link_options(${lib} INTERFACE -Wno-missing-profile)
  # A compiler cache could not tell objects made with different counts apart.
  set_property(TARGET ${lib} PROPERTY CXX_COMPILER_LAUNCHER "")
endforeach()
