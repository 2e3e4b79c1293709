# Runs the real tevtool (under Wine for the Windows build) on the files tevtool_fixture writes:
# stats --json read by Python's JSON parser in both units, a file whose settings checksum fails
# still gives figures and a picture (one line on standard error), and bad input gives exit 1
# with one line on standard error.
# -DTEVTOOL=... -DFIXTURE=... -DWORK=... -DPYTHON=... -DCHECK_JSON=... [-DEMULATOR=...]
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(NOT PYTHON)
  message(FATAL_ERROR "python3 not found: the JSON output is read with Python's parser")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/RunTool.cmake)

execute_process(COMMAND ${EMULATOR} "${FIXTURE}" WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc
                OUTPUT_FILE "${WORK}/fixture.txt" ERROR_FILE "${WORK}/fixture.txt")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fixture failed: ${rc}")
endif()

foreach(units m ft)
  run_tool(rc out err stats flight.tev --json --units ${units})
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "tevtool stats --json --units ${units}: exit ${rc}, stderr '${err}'")
  endif()
  file(COPY_FILE "${WORK}/stdout.txt" "${WORK}/stats-${units}.json")
  execute_process(COMMAND "${PYTHON}" "${CHECK_JSON}" "${WORK}/stats-${units}.json" ${units} 1
                  RESULT_VARIABLE rc OUTPUT_VARIABLE checked ERROR_VARIABLE problem)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tevtool stats --json --units ${units}: ${problem}")
  endif()
  string(STRIP "${checked}" checked)
  message(STATUS "${checked}")
endforeach()

run_tool(rc out err stats flight.tev)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^flight.tev, set 1\n  recorded +300 samples" OR NOT out MATCHES "\n  apogee +[0-9.]+ m ")
  message(FATAL_ERROR "tevtool stats flight.tev: exit ${rc}, stdout '${out}', stderr '${err}'")
endif()

# A failing settings checksum: figures and a picture with the default settings, said once.
run_tool(rc out err stats corrupt.tev)
expect_one_line("tevtool stats corrupt.tev" "${err}")
if(NOT rc EQUAL 0 OR NOT err MATCHES "default settings" OR NOT out MATCHES "invalid: the figures use the default settings")
  message(FATAL_ERROR "tevtool stats corrupt.tev: exit ${rc}, stdout '${out}', stderr '${err}'")
endif()
foreach(input flight corrupt)
  run_tool(rc out err plot ${input}.tev -o ${input}.svg --units ft --size 800x500)
  if(NOT rc EQUAL 0 OR NOT EXISTS "${WORK}/${input}.svg")
    message(FATAL_ERROR "tevtool plot ${input}.tev: exit ${rc}, stderr '${err}'")
  endif()
  file(READ "${WORK}/${input}.svg" svg LIMIT 400)
  if(NOT svg MATCHES "^<\\?xml" OR NOT svg MATCHES "width=\"800\" height=\"500\"")
    message(FATAL_ERROR "tevtool plot ${input}.tev wrote '${svg}'")
  endif()
endforeach()
message(STATUS "tevtool stats and plot read corrupt.tev with the default settings")

set(cases "stats|missing.tev" "stats|notours.tev" "stats|flight.tev|2" "stats|flight.tev|0" "stats|flight.tev|--units|yd"
          "plot|flight.tev" "plot|missing.tev|-o|x.svg" "plot|flight.tev|-o|x.svg|--size|10x10")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case_args "${case}")
  run_tool(rc out err ${case_args})
  expect_one_line("tevtool ${case}" "${err}")
  if(NOT rc EQUAL 1 OR NOT out STREQUAL "" OR EXISTS "${WORK}/x.svg")
    message(FATAL_ERROR "tevtool ${case}: exit ${rc}, stdout '${out}'")
  endif()
  string(STRIP "${err}" err)
  message(STATUS "tevtool ${case} -> ${err}")
endforeach()
