# GoogleTest for both lanes, and one ctest entry per test program: under
# Wine every program start costs time, so cases are not registered one by one.
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

set(support ${CMAKE_SOURCE_DIR}/tests/support)
add_library(test_support STATIC
  ${support}/temp_dir.cpp
  ${support}/test_programs.cpp
  ${support}/tree_snapshot.cpp
  ${support}/${backend}/child_process.cpp
  ${support}/${backend}/folder_trait.cpp
  ${support}/${backend}/pinned_file.cpp
  ${support}/${backend}/short_name.cpp)
target_link_libraries(test_support PUBLIC update_core GTest::gtest)
update_warnings(test_support)

function(update_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE test_support GTest::gtest_main)
  update_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
endfunction()
