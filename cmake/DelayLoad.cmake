# DLLs that are not among the system's known DLLs are delay-loaded, so that they load only after
# the program has narrowed its DLL search to the system folder (win32/DllSearch.h): a DLL of the
# same name planted beside the exe (a Downloads folder) is then never loaded.
# For each, a delay-import library is made at configure time from the import library's export
# list, and the target `delayed_<dll>` links it in the ordinary library's place.
find_program(TEV_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
foreach(dll IN ITEMS hid ddraw gdiplus comctl32)
  find_library(TEV_IMPORT_${dll} NAMES ${dll} REQUIRED)
  execute_process(COMMAND ${CMAKE_NM} -g ${TEV_IMPORT_${dll}} OUTPUT_VARIABLE symbols)
  string(REGEX MATCHALL "I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
  list(REMOVE_DUPLICATES imports)
  set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
  foreach(import IN LISTS imports)
    string(REPLACE "I __imp_" "" name "${import}")
    string(APPEND def "  ${name}\n")
  endforeach()
  set(dir "${CMAKE_BINARY_DIR}/delayload")
  file(WRITE "${dir}/${dll}.def" "${def}")
  execute_process(COMMAND ${TEV_DLLTOOL} --input-def ${dir}/${dll}.def --dllname ${dll}.dll
                          --output-delaylib ${dir}/libdelay_${dll}.a
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dlltool could not make the delay-import library of ${dll}")
  endif()
  add_library(delayed_${dll} INTERFACE)
  target_link_libraries(delayed_${dll} INTERFACE ${dir}/libdelay_${dll}.a delayimp)
endforeach()
