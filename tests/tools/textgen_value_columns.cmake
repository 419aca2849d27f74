# Runs the text generator on copies of the display texts: as they stand they pass; a label that
# reaches into the column of the value drawn after it, or a value column that is not eight pixel
# columns, fails with the file and line named and nothing written.
# Called with -DTEXTGEN=... -DTEXTS=<folder of the text sources> -DWORK=<scratch folder>.
set(languages en fr de it es pt ru ja)

# Copies the sources into WORK/<case>, applies one replacement to one file, runs the generator;
# sets <case>_RESULT, <case>_ERRORS and whether it wrote its header.
function(run_case case file from to)
  set(dir ${WORK}/${case})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  file(COPY ${TEXTS}/charmap.txt DESTINATION ${dir})
  set(sources)
  foreach(language IN LISTS languages)
    file(COPY ${TEXTS}/${language}.txt DESTINATION ${dir})
    list(APPEND sources ${dir}/${language}.txt)
  endforeach()
  if(file)
    file(READ ${dir}/${file} content)
    string(FIND "${content}" "${from}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${case}: \"${from}\" is not in ${file}")
    endif()
    string(REPLACE "${from}" "${to}" content "${content}")
    file(WRITE ${dir}/${file} "${content}")
  endif()
  execute_process(COMMAND ${TEXTGEN} ${dir}/charmap.txt ${dir}/texts.cpp ${dir}/names.cpp ${dir}/names.h ${sources}
                  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
  set(${case}_RESULT ${result} PARENT_SCOPE)
  set(${case}_ERRORS "${errors}" PARENT_SCOPE)
  if(EXISTS ${dir}/names.h)
    set(${case}_WROTE 1 PARENT_SCOPE)
  else()
    set(${case}_WROTE 0 PARENT_SCOPE)
  endif()
endfunction()

function(expect_refused case pattern)
  if(${case}_RESULT EQUAL 0 OR ${case}_WROTE)
    message(FATAL_ERROR "${case}: accepted (result ${${case}_RESULT}), expected a refusal")
  endif()
  if(NOT "${${case}_ERRORS}" MATCHES "${pattern}")
    message(FATAL_ERROR "${case}: the errors do not match \"${pattern}\":\n${${case}_ERRORS}")
  endif()
endfunction()

run_case(sources "" "" "")
if(NOT sources_RESULT EQUAL 0)
  message(FATAL_ERROR "the texts as they stand are refused:\n${sources_ERRORS}")
endif()
file(READ ${WORK}/sources/names.h header)
if(NOT header MATCHES "kTextPidItemValueColumn\\[8\\] = {48, 24, 24, 24, 24, 48, 72, 96};")
  message(FATAL_ERROR "the PID item's value columns are not in the names header:\n${header}")
endif()

# French "PID A/M": its value at pixel column 24 (cell 4) would overwrite "A/M".
run_case(french_label fr.txt "17.0\tPID\n" "17.0\tPID A/M\n")
expect_refused(french_label "fr.txt:[0-9]+: error: the label of 17.0 takes 7 cells and reaches into its value at pixel column 24")
# A label that ends right at its value's column would run into it without a blank.
run_case(german_label de.txt "17.0\tPID\n" "17.0\tPID:\n")
expect_refused(german_label "de.txt:[0-9]+: error: the label of 17.0 takes 4 cells")
# English at 48 leaves 7 cells: "PID A/M" fits, one more does not.
run_case(english_label en.txt "17.0\tPID A/M\t" "17.0\tPID A/MX\t")
expect_refused(english_label "en.txt:[0-9]+: error: the label of 17.0 takes 8 cells")
# Seven columns, or a column past the leave marker, are not a value column.
run_case(seven_columns en.txt "value 48 24 24 24 24 48 72 96" "value 48 24 24 24 24 48 72")
expect_refused(seven_columns "en.txt:[0-9]+: error: the fourth column must be")
run_case(past_marker en.txt "value 48 24 24 24 24 48 72 96" "value 48 24 24 24 24 48 72 140")
expect_refused(past_marker "en.txt:[0-9]+: error: the fourth column must be")
message(STATUS "the value columns are checked")
