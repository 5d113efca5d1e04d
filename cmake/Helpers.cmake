# Shared test plumbing for both builds.

if(WIN32)
  # GoogleTest built from Debian's source package with the cross compiler.
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(VD_GTEST_LIBS gmock gtest_main)
else()
  find_package(GTest REQUIRED)
  set(VD_GTEST_LIBS GTest::gmock GTest::gtest_main)
  include(GoogleTest)
endif()

# vd_unit_test(name SOURCES ... LIBS ...): a native GoogleTest executable, one ctest entry per case.
function(vd_unit_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${VD_GTEST_LIBS})
  if(VD_SANITIZE)
    set(tree asan)
  else()
    set(tree unit)
  endif()
  gtest_discover_tests(${name} TEST_PREFIX "${tree}.${name}." DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES)
endfunction()

# vd_wine_test(name SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s]): a console GoogleTest exe for
# Windows, run under Wine as one ctest entry (each Wine start costs a fraction of a second).
function(vd_wine_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${VD_GTEST_LIBS})
  add_test(NAME wine.${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(wine.${name} PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS "wine;${A_LABELS}"
                       FIXTURES_REQUIRED wineprefix)
endfunction()

# Adds every subfolder of the current source folder that has a CMakeLists.txt, so each
# subsystem's tests and benchmarks stay in their own folder.
function(vd_add_subdirectories)
  file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(d ${dirs})
    if(IS_DIRECTORY ${d} AND EXISTS ${d}/CMakeLists.txt)
      add_subdirectory(${d})
    endif()
  endforeach()
endfunction()
