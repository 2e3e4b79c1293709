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

# tev_add_gtest(NAME <name> SOURCES <files...> LIBS <targets...>)
# One test program per area keeps the number of (slow, static) links down.
# In the Windows build CTest runs it under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
function(tev_add_gtest)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${TEV_GTEST})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300)
endfunction()
