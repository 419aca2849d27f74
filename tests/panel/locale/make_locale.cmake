# Compiles the decimal-comma locale for the panel's parsing test into a folder of its own, so
# that the test runs on a machine without a German locale installed. localedef reports the
# categories this definition leaves out; it still writes the numeric one, which is all the test
# loads.
# Usage: cmake -DLOCALEDEF=... -DDEFINITION=... -DCHARMAP=... -DOUT=<folder>/de_DE.UTF-8 -P make_locale.cmake
file(REMOVE_RECURSE ${OUT})
get_filename_component(parent ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${parent})
execute_process(COMMAND ${LOCALEDEF} --force --no-archive -i ${DEFINITION} -f ${CHARMAP} ${OUT}
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT EXISTS ${OUT}/LC_NUMERIC)
  message(FATAL_ERROR "localedef (status ${result}) wrote no numeric category into ${OUT}")
endif()
