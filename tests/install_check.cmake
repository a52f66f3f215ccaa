# Installs the build into a fresh temporary prefix and checks that every file
# lands where a desktop looks for it, then validates the menu entry.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... [-DWITH_TALLY=ON] [-DWITH_MAN_PAGES=ON] [-DMODULE_DIR=lib/vornel]
#         -P install_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${log}")
endif()

set(expected bin/vornel bin/vornel-host bin/zelmo7-lobby bin/zelmo7-lobby-server share/applications/vornel.desktop
    share/applications/zelmo7-lobby.desktop)
if(WITH_TALLY)
  list(APPEND expected bin/vornel-tally)
endif()
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/vornel.png)
endforeach()
# The metainfo, the servers' units and their settings (inside the prefix).
list(APPEND expected share/metainfo/org.example.vornel.metainfo.xml share/doc/vornel/copyright
     share/doc/vornel/changelog.gz)
foreach(service vornel-host zelmo7-lobby-server)
  list(APPEND expected lib/systemd/system/${service}.service etc/default/${service})
endforeach()
# A man page per program: the game, its lobby and the tally tool in
# section 6, the servers in section 8.
set(man_pages vornel|6 zelmo7-lobby|6 vornel-host|8 zelmo7-lobby-server|8)
if(WITH_TALLY)
  list(APPEND man_pages vornel-tally|6)
endif()
if(WITH_MAN_PAGES)
  foreach(page IN LISTS man_pages)
    string(REPLACE "|" ";" page "${page}")
    list(GET page 0 program)
    list(GET page 1 section)
    list(APPEND expected share/man/man${section}/${program}.${section}.gz)
  endforeach()
endif()
# The modules the game loads on first use, where it looks for them.
if(MODULE_DIR)
  list(APPEND expected ${MODULE_DIR}/vornel-download.so ${MODULE_DIR}/vornel-sound.so)
endif()
foreach(path IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

foreach(program vornel vornel-host zelmo7-lobby zelmo7-lobby-server)
  execute_process(COMMAND test -x "${PREFIX}/bin/${program}" RESULT_VARIABLE runnable)
  if(NOT runnable EQUAL 0)
    message(FATAL_ERROR "bin/${program} is not executable")
  endif()
endforeach()

# Every installed program answers --version with the project's version and
# --help with its options, before it opens any window.
set(programs vornel vornel-host zelmo7-lobby zelmo7-lobby-server)
if(WITH_TALLY)
  list(APPEND programs vornel-tally)
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND "${PREFIX}/bin/${program}" --version RESULT_VARIABLE status OUTPUT_VARIABLE answer
                  ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT answer MATCHES "^${program} ${VERSION}( |\n)")
    message(FATAL_ERROR "${program} --version: status ${status}, '${answer}' ${errors}; expected ${program} ${VERSION}")
  endif()
  execute_process(COMMAND "${PREFIX}/bin/${program}" --help RESULT_VARIABLE status OUTPUT_VARIABLE answer
                  ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT answer MATCHES "Usage: ${program}" OR NOT answer MATCHES "--version")
    message(FATAL_ERROR "${program} --help: status ${status}, '${answer}' ${errors}")
  endif()
endforeach()

# The metainfo names this version among its releases.
file(READ "${PREFIX}/share/metainfo/org.example.vornel.metainfo.xml" metainfo)
string(FIND "${metainfo}" "<release version=\"${VERSION}\"" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the metainfo has no release ${VERSION}")
endif()

# Each icon is a PNG of its directory's size: bytes 16..23 of the file are
# the width and height in the header.
foreach(size 16 48 256)
  file(READ "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/vornel.png" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 16 dimensions)
  math(EXPR hex_size "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" hex_size "${hex_size}")
  string(LENGTH "${hex_size}" digits)
  math(EXPR padding "8 - ${digits}")
  string(REPEAT "0" ${padding} zeros)
  set(side "${zeros}${hex_size}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT dimensions STREQUAL "${side}${side}")
    message(FATAL_ERROR "the ${size}x${size} icon is not a ${size} x ${size} PNG (${header})")
  endif()
endforeach()

# Each menu entry starts its program by name and shows the game's icon.
foreach(entry_case "vornel|vornel" "zelmo7-lobby|zelmo7-lobby")
  string(REPLACE "|" ";" entry_case "${entry_case}")
  list(GET entry_case 0 desktop_file)
  list(GET entry_case 1 program)
  file(READ "${PREFIX}/share/applications/${desktop_file}.desktop" entry)
  foreach(line "Exec=${program}" "Icon=vornel" "Categories=Game;CardGame;")
    string(FIND "${entry}" "${line}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${desktop_file}.desktop lacks ${line}")
    endif()
  endforeach()
endforeach()
file(READ "${PREFIX}/share/applications/zelmo7-lobby.desktop" entry)
string(FIND "${entry}" "Name=The Zelmo7 Lobby" at)
if(at EQUAL -1)
  message(FATAL_ERROR "zelmo7-lobby.desktop is not named The Zelmo7 Lobby")
endif()

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  foreach(desktop_file vornel zelmo7-lobby)
    execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/${desktop_file}.desktop"
                    RESULT_VARIABLE valid OUTPUT_VARIABLE report ERROR_VARIABLE report)
    if(NOT valid EQUAL 0 OR NOT report STREQUAL "")
      message(FATAL_ERROR "desktop-file-validate ${desktop_file}.desktop:\n${report}")
    endif()
  endforeach()
else()
  message(STATUS "desktop-file-validate not found; the entries were checked by hand only")
endif()
file(REMOVE_RECURSE "${PREFIX}")
