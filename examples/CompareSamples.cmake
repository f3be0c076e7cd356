# Runs the sample generator with the starter library STARTER_INI into
# OUTPUT_DIR and fails unless every file it writes equals the committed one in
# EXPECTED_DIR byte for byte, and every committed sample is one it writes.
file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} ${STARTER_INI} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "corvalt-make-examples failed (${status})")
endif()
file(GLOB written RELATIVE ${OUTPUT_DIR} ${OUTPUT_DIR}/*.emf)
file(GLOB committed RELATIVE ${EXPECTED_DIR} ${EXPECTED_DIR}/*.emf)
list(SORT written)
list(SORT committed)
if(NOT written STREQUAL committed)
  message(FATAL_ERROR "the generator writes [${written}] but examples/ holds [${committed}]")
endif()
foreach(name ${written})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    ${OUTPUT_DIR}/${name} ${EXPECTED_DIR}/${name} RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "examples/${name} differs from the generator's output; "
      "run `cmake --build <build> --target update-examples` and commit the result")
  endif()
endforeach()
