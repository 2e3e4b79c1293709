# GoogleTest: Debian's library for the native build; the Windows build compiles it
# from the source Debian ships, with the same compiler as everything else.
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
  # googletest's own sources are not ours to keep warning-clean.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  set(TEV_GTEST gtest_main gtest)
else()
  find_package(GTest REQUIRED)
  set(TEV_GTEST GTest::gtest_main GTest::gtest)
endif()

# tev_add_test(NAME <name> [TIMEOUT <seconds>] [DPI <dpi>] COMMAND <command...>)
# The one way to register a test that runs this tree's programs. In the Windows build every such
# test runs under Wine: through tests/support/wine-test.sh, so that it has the prefix's Wine server
# to itself, one at a time (even under ctest -j), and labelled "wine" (ctest -L wine runs them).
# DPI runs it with the screen at that many dots per inch (the prefix's LogPixels; 96 is 100 %).
function(tev_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT;DPI" "COMMAND" ${ARGN})
  if(WIN32)
    set(dpi_args)
    if(T_DPI)
      set(dpi_args --dpi ${T_DPI})
    endif()
    add_test(NAME ${T_NAME} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/wine-test.sh ${dpi_args} ${T_COMMAND})
    set_tests_properties(${T_NAME} PROPERTIES LABELS wine RESOURCE_LOCK wine_server)
    set_property(GLOBAL APPEND PROPERTY TEV_WINE_TESTS ${T_NAME})
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()

# tev_add_test_at_dpis(NAME <prefix> COMMAND <command...>): the same test at 96, 144 and 192 DPI,
# as <prefix>_96, <prefix>_144 and <prefix>_192.
function(tev_add_test_at_dpis)
  cmake_parse_arguments(T "" "NAME" "COMMAND" ${ARGN})
  foreach(dpi 96 144 192)
    tev_add_test(NAME ${T_NAME}_${dpi} TIMEOUT 300 DPI ${dpi} COMMAND ${T_COMMAND})
  endforeach()
endfunction()

# tev_add_gtest(NAME <name> SOURCES <files...> LIBS <targets...>)
# One test program per area keeps the number of (slow, static) links down.
# In the Windows build it runs under Wine (CMAKE_CROSSCOMPILING_EMULATOR).
function(tev_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${TEV_GTEST})
  tev_add_test(NAME ${T_NAME} TIMEOUT 300 COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${T_NAME}>)
endfunction()

# tev_check_wine_tests(): in the Windows build, refuses a test registered without tev_add_test
# (it would share a Wine server with its neighbours and could start while theirs exits).
function(tev_check_wine_tests dir)
  get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
  get_property(wine_tests GLOBAL PROPERTY TEV_WINE_TESTS)
  foreach(t IN LISTS tests)
    if(NOT t IN_LIST wine_tests)
      message(FATAL_ERROR "Test ${t} (in ${dir}) runs under Wine: register it with tev_add_test")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    tev_check_wine_tests(${sub})
  endforeach()
endfunction()
