# Warnings on for every target of ours; CI turns them into errors.
function(orvex_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ORVEX_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A Qt Test executable registered with CTest; widgets run offscreen. RUNNER
# is a command line the test runs under (for example a private session bus).
function(orvex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;RUNNER" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  orvex_set_warnings(${name})
  add_test(NAME ${name} COMMAND ${ARG_RUNNER} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ORVEX_DATA_DIR=${ORVEX_DATA_DIR}"
    TIMEOUT 120)
endfunction()
