# Set-up of the CTest fixture corvalt_german_locale: builds the German locale
# (decimal comma) that the locale tests switch to, once, into LOCALES in the
# build tree. It is built under a temporary name and then renamed, so a test
# never finds it half written. When it cannot be built, the tests that need it
# skip, unless REQUIRED is true (CI): then this set-up fails, and so do they.
set(target ${LOCALES}/de_DE.UTF-8)
if(EXISTS ${target}/LC_NUMERIC)
  return()
endif()

function(missing why)
  if(REQUIRED)
    message(FATAL_ERROR "no German locale for the tests: ${why}")
  endif()
  message(WARNING "no German locale for the tests (they will skip): ${why}")
endfunction()

find_program(LOCALEDEF localedef)
if(NOT LOCALEDEF)
  missing("localedef is not installed (Debian package locales)")
  return()
endif()
string(RANDOM LENGTH 8 suffix)
set(partial ${LOCALES}/partial-${suffix})
file(MAKE_DIRECTORY ${LOCALES})
execute_process(COMMAND ${LOCALEDEF} -i de_DE -f UTF-8 ${partial}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
# localedef exits 1 when it only issued warnings; the files tell.
if(NOT EXISTS ${partial}/LC_NUMERIC)
  file(REMOVE_RECURSE ${partial})
  missing("localedef failed (${status}): ${output}")
  return()
endif()
file(RENAME ${partial} ${target} RESULT rename)
if(NOT rename EQUAL 0)
  # Another run built it at the same time; its copy is complete.
  file(REMOVE_RECURSE ${partial})
endif()
