# cmake "-DPROGRAMS=a;b;..." -DWORK=... -DIMAGES=... -DRUNTIME=... -DSTAMP=... -P GuidePictures.cmake
#
# Runs the screenshot programs offscreen into WORK and copies the pictures the
# guide shows into IMAGES under the names its pages use. A program that fails
# or a picture it did not take is reported and skipped: the page then goes
# without that picture, and the build goes on.

# picture in WORK (program's own name) -> name in the guide
set(wanted
  main-project project-window
  preview-page report-preview
  panel-english results-panel
  panel-english-map results-map
  circuit-double-english-2 circuit-template
  circuit-dc-english-1 circuit-dc
  crosssection-english-1 crosssection
  preferences-8 preferences-limits
  preferences-5 preferences-voltages
  phasing phasing-optimiser
  clearance-one-circuit clearance-solver
)

list(LENGTH wanted count)
math(EXPR last "${count} - 1")
set(taken_names "")
foreach(i RANGE 0 ${last} 2)
  list(GET wanted ${i} taken)
  list(APPEND taken_names ${taken})
endforeach()
# The programs take only these (each of their pictures takes its time).
string(JOIN "," only ${taken_names})

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}" "${IMAGES}")
foreach(program ${PROGRAMS})
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "XDG_RUNTIME_DIR=${RUNTIME}"
      ASAN_OPTIONS=detect_leaks=0 "CORVALT_PICTURES=${only}" "${program}" "${WORK}"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors TIMEOUT 60)
  if(NOT result EQUAL 0)
    get_filename_component(name "${program}" NAME)
    message(STATUS "${name} did not take all its pictures (${result}): ${errors}")
  endif()
endforeach()

foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET wanted ${i} taken)
  list(GET wanted ${j} shown)
  if(EXISTS "${WORK}/${taken}.png")
    file(COPY_FILE "${WORK}/${taken}.png" "${IMAGES}/${shown}.png" ONLY_IF_DIFFERENT)
  else()
    file(REMOVE "${IMAGES}/${shown}.png")
    message(STATUS "The guide goes without the picture ${shown}: ${taken}.png was not taken")
  endif()
endforeach()
file(TOUCH "${STAMP}")
