# A word the caller's cmake_parse_arguments did not know (a misspelt
# QT_FREE would otherwise leave a library unguarded) fails the configure step.
macro(_ql_no_unparsed function name)
  if(QL_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${function}(${name}): unknown arguments: ${QL_UNPARSED_ARGUMENTS}")
  endif()
endmacro()

# ql_library(NAME DIR [QT_FREE] DEPS ...)
# One static library per source folder. The sources are every .cpp in the
# folder (not in sub-folders); the public include root is src/, so code writes
# #include "core/dynaarray.h". Linking is the only way to reach another folder.
# QT_FREE libraries may not reach Qt through any link, direct or transitive:
# ql_check_qt_free() (called once all libraries exist) fails the configure
# step otherwise.
function(ql_library name)
  cmake_parse_arguments(QL "QT_FREE" "DIR" "DEPS" ${ARGN})
  _ql_no_unparsed(ql_library ${name})
  file(GLOB _srcs CONFIGURE_DEPENDS ${QL_DIR}/*.cpp)
  file(GLOB _hdrs CONFIGURE_DEPENDS ${QL_DIR}/*.h)
  if(QL_QT_FREE)
    set_property(GLOBAL APPEND PROPERTY QL_QT_FREE_LIBRARIES ${name})
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

# Collects into `out_var` every target `target` links, directly or through
# other targets (cycles allowed), as `chain_var` entries "a -> b -> c".
function(_ql_link_closure target out_var)
  set(_seen ${target})
  set(_queue ${target})
  set(_chains "")
  set(_path_${target} ${target})
  while(_queue)
    list(POP_FRONT _queue _t)
    set(_links "")
    get_target_property(_type ${_t} TYPE)
    if(NOT _type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(_l ${_t} LINK_LIBRARIES)
      if(_l)
        list(APPEND _links ${_l})
      endif()
    endif()
    get_target_property(_il ${_t} INTERFACE_LINK_LIBRARIES)
    if(_il)
      list(APPEND _links ${_il})
    endif()
    foreach(_d IN LISTS _links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" _d "${_d}")
      if(_d MATCHES "^\\$<" OR _d IN_LIST _seen)
        continue()
      endif()
      list(APPEND _seen ${_d})
      set(_path_${_d} "${_path_${_t}} -> ${_d}")
      list(APPEND _chains "${_path_${_d}}")
      if(TARGET ${_d})
        list(APPEND _queue ${_d})
      endif()
    endforeach()
  endwhile()
  set(${out_var} "${_chains}" PARENT_SCOPE)
endfunction()

# Fails the configure step when a QT_FREE library reaches Qt (a Qt6:: target
# or a Qt library file) through any chain of links, and names the chain.
function(ql_check_qt_free)
  get_property(_libs GLOBAL PROPERTY QL_QT_FREE_LIBRARIES)
  foreach(_lib IN LISTS _libs)
    _ql_link_closure(${_lib} _chains)
    foreach(_chain IN LISTS _chains)
      string(REGEX REPLACE ".* -> " "" _last "${_chain}")
      if(_last MATCHES "^Qt[0-9]*::" OR _last MATCHES "libQt[0-9]")
        message(FATAL_ERROR "${_lib} is Qt-free but links Qt: ${_chain}")
      endif()
    endforeach()
  endforeach()
endfunction()

# ql_test(NAME SOURCES... DEPS ...): one GoogleTest executable, discovered by ctest.
function(ql_test name)
  cmake_parse_arguments(QL "" "" "SOURCES;DEPS" ${ARGN})
  _ql_no_unparsed(ql_test ${name})
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
