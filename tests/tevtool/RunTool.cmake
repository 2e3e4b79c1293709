# What the tevtool command-line scripts share: run the real tevtool (under EMULATOR for the
# Windows build) in WORK, and check that standard error is one "tevtool: ..." line.
# Output goes through files, not pipes: a wineserver started by the call would hold a pipe open
# (and the script waiting) until it exits. Standard error loses its carriage returns.
function(run_tool result_var out_var err_var)
  execute_process(COMMAND ${EMULATOR} "${TEVTOOL}" ${ARGN}
                  WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE rc OUTPUT_FILE "${WORK}/stdout.txt" ERROR_FILE "${WORK}/stderr.txt")
  file(READ "${WORK}/stdout.txt" out)
  file(READ "${WORK}/stderr.txt" err)
  string(REPLACE "\r" "" err "${err}")
  set(${result_var} "${rc}" PARENT_SCOPE)
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

function(expect_one_line what err)
  string(REGEX MATCHALL "\n" ends "${err}")
  list(LENGTH ends lines)
  if(NOT lines EQUAL 1 OR NOT err MATCHES "^tevtool: [^\n]+\n$")
    message(FATAL_ERROR "${what}: standard error is not one line: '${err}'")
  endif()
endfunction()
