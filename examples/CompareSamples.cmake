# Runs the sample generator with the starter library STARTER_INI into
# OUTPUT_DIR and fails unless every file it writes equals the committed one in
# EXPECTED_DIR byte for byte.
file(REMOVE_RECURSE ${OUTPUT_DIR})
file(MAKE_DIRECTORY ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} ${STARTER_INI} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "corvalt-make-examples failed (${status})")
endif()
foreach(name sample-english.emf sample-metric.emf)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    ${OUTPUT_DIR}/${name} ${EXPECTED_DIR}/${name} RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "examples/${name} differs from the generator's output; "
      "run `cmake --build <build> --target update-examples` and commit the result")
  endif()
endforeach()
