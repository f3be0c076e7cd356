# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -P InstallTest.cmake
#
# Installs the build into PREFIX (emptied first) and checks what a user gets:
# both programs (and the report renderer), the menu entry, the icon, the starter
# library and the user guide; the installed corvalt-cli finds the starter library
# beside it and names a preferences file it can write.

function(fail)
  string(JOIN "" message ${ARGN})
  message(FATAL_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE installed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT installed EQUAL 0)
  fail("cmake --install failed:\n${output}")
endif()

foreach(file bin/corvalt bin/corvalt-cli bin/corvalt-cli-render share/applications/corvalt.desktop
             share/icons/hicolor/256x256/apps/corvalt.png share/corvalt/corvalt.INI
             share/corvalt/guide/index.html share/corvalt/guide/building.html)
  if(NOT EXISTS "${PREFIX}/${file}")
    fail("not installed: ${file}")
  endif()
endforeach()
foreach(program corvalt corvalt-cli corvalt-cli-render)
  # find_program finds executable files only.
  find_program(found NAMES ${program} PATHS "${PREFIX}/bin" NO_DEFAULT_PATH NO_CACHE)
  if(NOT found)
    fail("bin/${program} is not executable")
  endif()
  unset(found)
endforeach()

# The starter library as it is in the sources.
file(READ "${SOURCE_DIR}/examples/corvalt.INI" expected)
file(READ "${PREFIX}/share/corvalt/corvalt.INI" installed_starter)
if(NOT installed_starter STREQUAL expected)
  fail("share/corvalt/corvalt.INI differs from examples/corvalt.INI")
endif()

# The menu entry starts the installed program with its icon; checked by the
# desktop's own validator where it is installed.
file(READ "${PREFIX}/share/applications/corvalt.desktop" desktop)
foreach(line "Exec=corvalt %f" "Icon=corvalt" "Type=Application")
  string(FIND "${desktop}" "${line}" at)
  if(at LESS 0)
    fail("corvalt.desktop lacks '${line}'")
  endif()
endforeach()
find_program(VALIDATOR desktop-file-validate)
if(VALIDATOR)
  execute_process(COMMAND "${VALIDATOR}" "${PREFIX}/share/applications/corvalt.desktop"
    RESULT_VARIABLE valid OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT valid EQUAL 0)
    fail("corvalt.desktop is not valid:\n${report}")
  endif()
endif()

# A PNG of 256 × 256: the signature, then the IHDR width and height.
file(READ "${PREFIX}/share/icons/hicolor/256x256/apps/corvalt.png" png HEX LIMIT 24)
if(NOT png MATCHES "^89504e470d0a1a0a" OR NOT png MATCHES "0000010000000100$")
  fail("the icon is not a 256 x 256 PNG: ${png}")
endif()

# The installed programs as a user starts them: no CORVALT_INI, a home of
# their own.
set(home "${PREFIX}/home")
file(MAKE_DIRECTORY "${home}")
set(run_env "${CMAKE_COMMAND}" -E env --unset=CORVALT_INI --unset=XDG_CONFIG_HOME "HOME=${home}")
execute_process(COMMAND ${run_env} "${PREFIX}/bin/corvalt-cli" --version
  RESULT_VARIABLE ran OUTPUT_VARIABLE version ERROR_VARIABLE version)
if(NOT ran EQUAL 0)
  fail("corvalt-cli --version failed:\n${version}")
endif()
string(FIND "${version}" "starter library: ${PREFIX}/share/corvalt/corvalt.INI\n" at)
if(at LESS 0)
  fail("the installed corvalt-cli does not find its starter library:\n${version}")
endif()

# The starter library shows the corona report's and the BPA file's menu
# commands (a first start copies it as the user's preferences).
execute_process(COMMAND ${run_env} "${PREFIX}/bin/corvalt-cli" prefs
    --ini "${PREFIX}/share/corvalt/corvalt.INI"
  RESULT_VARIABLE ran OUTPUT_VARIABLE starter_json ERROR_VARIABLE error)
foreach(key BPAFile BPADetails)
  string(FIND "${starter_json}" "\"${key}\": true" at)
  if(NOT ran EQUAL 0 OR at LESS 0)
    fail("the installed starter library does not set ${key}=1: ${starter_json}${error}")
  endif()
endforeach()

execute_process(COMMAND ${run_env} "${PREFIX}/bin/corvalt-cli" prefs --path
  RESULT_VARIABLE ran OUTPUT_VARIABLE ini ERROR_VARIABLE error)
string(STRIP "${ini}" ini)
if(NOT ran EQUAL 0 OR ini STREQUAL "")
  fail("corvalt-cli prefs --path failed: ${error}")
endif()
# Either beside the program (its folder is writable here) or in the home's
# configuration folder; either way the file can be written.
if(NOT ini STREQUAL "${PREFIX}/bin/corvalt.INI" AND
   NOT ini STREQUAL "${home}/.config/corvalt/corvalt.INI")
  fail("unexpected preferences file: ${ini}")
endif()
get_filename_component(folder "${ini}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
file(WRITE "${ini}" "[General]\nEnterAsTab=1\n")
execute_process(COMMAND ${run_env} "${PREFIX}/bin/corvalt-cli" prefs
  RESULT_VARIABLE ran OUTPUT_VARIABLE json ERROR_VARIABLE error)
if(NOT ran EQUAL 0)
  fail("corvalt-cli prefs cannot read the file it named: ${error}")
endif()
# The installed corvalt-cli hands a report to the renderer installed beside it.
execute_process(COMMAND ${run_env} "${PREFIX}/bin/corvalt-cli" report
    "${SOURCE_DIR}/examples/sample-metric.emf" --kind 2 --pdf "${home}/form.pdf"
  RESULT_VARIABLE ran ERROR_VARIABLE error)
file(READ "${home}/form.pdf" pdf HEX LIMIT 5)
if(NOT ran EQUAL 0 OR NOT pdf STREQUAL "255044462d") # "%PDF-"
  fail("the installed corvalt-cli does not write a report (exit ${ran}, file starts with ${pdf}): ${error}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
