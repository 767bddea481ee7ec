# Checks the `tenrek host` command itself: a golden script read from a file
# and from standard input, and the exit code and message of failing ones.
# Run with -DTENREK=<tenrek binary> -DGOLDEN=<tests/golden> -DWORK=<scratch folder>.

function(expect_run description expected_rc expected_out expected_err)
  execute_process(COMMAND ${TENREK} host ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc STREQUAL "${expected_rc}")
    message(FATAL_ERROR "${description}: exit ${rc}, expected ${expected_rc}\n${err}")
  endif()
  if(NOT "${out}" STREQUAL "${expected_out}")
    message(FATAL_ERROR "${description}: transcript\n${out}\nexpected\n${expected_out}")
  endif()
  if(NOT "${err}" STREQUAL "${expected_err}")
    message(FATAL_ERROR "${description}: message\n${err}\nexpected\n${expected_err}")
  endif()
endfunction()

file(READ ${GOLDEN}/example.transcript example)
expect_run("example from a file" 0 "${example}" "" ${GOLDEN}/example.script)

file(MAKE_DIRECTORY ${WORK})
file(COPY ${GOLDEN}/example.script DESTINATION ${WORK})
execute_process(COMMAND ${TENREK} host - INPUT_FILE ${WORK}/example.script
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT "${out}" STREQUAL "${example}")
  message(FATAL_ERROR "example from standard input: exit ${rc}\n${out}")
endif()

file(WRITE ${WORK}/no_object.script "# nothing created\naction 1\n")
expect_run("no object" 2 "> action 1\n"
  "tenrek host: line 2: action needs an object, and none exists\n" ${WORK}/no_object.script)

file(WRITE ${WORK}/malformed.script "create\njump\n")
expect_run("malformed line" 2 ""
  "tenrek host: line 2: unknown operation jump\n" ${WORK}/malformed.script)

expect_run("missing file" 2 "" "tenrek host: cannot read ${WORK}/none.script: No such file or directory\n"
  ${WORK}/none.script)
expect_run("no file named" 2 "" "tenrek host: usage: tenrek host FILE|-\n")
