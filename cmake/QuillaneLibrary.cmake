# ql_library(NAME DIR [QT_FREE] DEPS ...)
# One static library per source folder. The sources are every .cpp in the
# folder (not in sub-folders); the public include root is src/, so code writes
# #include "core/dynaarray.h". Linking is the only way to reach another folder:
# QT_FREE libraries fail to configure if they are handed a Qt target.
function(ql_library name)
  cmake_parse_arguments(QL "QT_FREE" "DIR" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${QL_DIR}/*.cpp)
  file(GLOB _hdrs CONFIGURE_DEPENDS ${QL_DIR}/*.h)
  if(QL_QT_FREE)
    foreach(dep IN LISTS QL_DEPS)
      if(dep MATCHES "^Qt6::")
        message(FATAL_ERROR "${name} is Qt-free and may not link ${dep}")
      endif()
    endforeach()
  endif()
  if(NOT _srcs)
    # A folder that holds only headers so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${QL_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${_srcs} ${_hdrs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${QL_DEPS})
endfunction()

# ql_test(NAME SOURCES... DEPS ...): one GoogleTest executable, discovered by ctest.
function(ql_test name)
  cmake_parse_arguments(QL "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${QL_SOURCES})
  target_link_libraries(${name} PRIVATE ${QL_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE QL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                             QL_SOURCE_DIR="${PROJECT_SOURCE_DIR}" QL_BIN_DIR="${QL_BIN_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  include(GoogleTest)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" DISCOVERY_TIMEOUT 60)
endfunction()
