# Test registration for both builds. The Windows build runs its tests under
# Wine, in a prefix of its own under the build folder (never ~/.wine), with a
# persistent wineserver and, for window tests, an Xvfb display when none is set.

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(VARNEK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-env.sh.in ${CMAKE_BINARY_DIR}/wine-env @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

# The Wine prefix, wineserver and Xvfb are set up once before all Windows
# tests and stopped after them (CTest fixture "wine").
function(varnek_add_wine_fixtures)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    add_test(NAME wine_setup COMMAND ${CMAKE_BINARY_DIR}/wine-env start)
    add_test(NAME wine_cleanup COMMAND ${CMAKE_BINARY_DIR}/wine-env stop)
    set_tests_properties(wine_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine_cleanup PROPERTIES FIXTURES_CLEANUP wine)
  endif()
endfunction()

# varnek_add_test(<name> <target> [SERIAL] [ARGS ...])
# SERIAL tests share the simulator, real windows or the Wine registry: they
# never run beside each other.
function(varnek_add_test name target)
  cmake_parse_arguments(VT "SERIAL" "" "ARGS" ${ARGN})
  add_test(NAME ${name} COMMAND ${target} ${VT_ARGS})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(VT_SERIAL)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK varnek_serial)
  endif()
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()
