# Runs the real tevtool (under Wine for the Windows build) on files written by tevtool_fixture:
# its CSV must equal ExportCsv's byte for byte, and bad input must give exit 1 with one line on
# standard error and nothing on standard output.
# -DTEVTOOL=... -DFIXTURE=... -DWORK=... [-DEMULATOR=...]
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

include(${CMAKE_CURRENT_LIST_DIR}/RunTool.cmake)

execute_process(COMMAND ${EMULATOR} "${FIXTURE}" WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc
                OUTPUT_FILE "${WORK}/fixture.txt" ERROR_FILE "${WORK}/fixture.txt")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fixture failed: ${rc}")
endif()

# The CSV to a file and to standard output (which must not gain carriage returns on Windows).
foreach(form "file" "stdout" "set0")
  if(form STREQUAL "file")
    run_tool(rc out err csv flight.tev 1 -o out-${form}.csv)
  elseif(form STREQUAL "stdout")
    run_tool(rc out err csv flight.tev 1)
    file(COPY_FILE "${WORK}/stdout.txt" "${WORK}/out-${form}.csv")
  else()
    run_tool(rc out err csv flight.tev)
    file(COPY_FILE "${WORK}/stdout.txt" "${WORK}/out-${form}.csv")
  endif()
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tevtool csv (${form}) exited ${rc}: ${err}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/expected.csv" "${WORK}/out-${form}.csv"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "tevtool csv (${form}) differs from ExportCsv")
  endif()
endforeach()
file(SIZE "${WORK}/expected.csv" size)
message(STATUS "tevtool csv equals ExportCsv: ${size} bytes, three ways")

# Bad input: exit 1, one line on standard error, nothing on standard output.
set(cases "csv|missing.tev" "csv|notours.tev" "csv|empty.tev" "csv|flight.tev|2" "csv|flight.tev|0" "csv|flight.tev|x"
          "info|missing.tev" "info|notours.tev" "info|empty.tev" "frobnicate" "csv")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case_args "${case}")
  run_tool(rc out err ${case_args})
  string(REGEX MATCHALL "\n" ends "${err}")
  list(LENGTH ends lines)
  if(NOT rc EQUAL 1 OR NOT lines EQUAL 1 OR NOT err MATCHES "^tevtool: [^\n]+\n$" OR NOT out STREQUAL "")
    message(FATAL_ERROR "tevtool ${case}: exit ${rc}, stdout '${out}', stderr '${err}'")
  endif()
  string(STRIP "${err}" err)
  message(STATUS "tevtool ${case} -> ${err}")
endforeach()

# info reports a bad checksum and still fails; csv gives the flight as the program opens it,
# with the default settings.
run_tool(rc out err info corrupt.tev)
if(NOT rc EQUAL 1 OR NOT out MATCHES "checksum: 0x[0-9a-f]+ \\(invalid\\)")
  message(FATAL_ERROR "tevtool info corrupt.tev: exit ${rc}, stdout '${out}'")
endif()
run_tool(rc out err csv corrupt.tev -o out-corrupt.csv)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/expected-defaults.csv" "${WORK}/out-corrupt.csv"
                RESULT_VARIABLE differ)
if(NOT rc EQUAL 0 OR NOT differ EQUAL 0)
  message(FATAL_ERROR "tevtool csv corrupt.tev: exit ${rc}, differs ${differ}, stderr '${err}'")
endif()
run_tool(rc out err info flight.tev)
if(NOT rc EQUAL 0 OR NOT out MATCHES "sets: 1\nset 1: first packet 0, 300 samples\n" OR NOT out MATCHES "adcOffset: -5\n"
   OR NOT out MATCHES "\\(valid\\)")
  message(FATAL_ERROR "tevtool info flight.tev: exit ${rc}, stdout '${out}', stderr '${err}'")
endif()

# -h prints usage on standard output; -v sends diagnostics to standard error, never to standard output.
run_tool(rc out err -h)
if(NOT rc EQUAL 0 OR NOT out MATCHES "usage: tevtool")
  message(FATAL_ERROR "tevtool -h: exit ${rc}, stdout '${out}'")
endif()
run_tool(rc out err -v csv flight.tev)
file(COPY_FILE "${WORK}/stdout.txt" "${WORK}/out-verbose.csv")
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/expected.csv" "${WORK}/out-verbose.csv"
                RESULT_VARIABLE differ)
if(NOT rc EQUAL 0 OR NOT differ EQUAL 0 OR NOT err MATCHES "Successfully de-serialized.")
  message(FATAL_ERROR "tevtool -v csv: exit ${rc}, differs ${differ}, stderr '${err}'")
endif()
