# The numeric status table and page, against the simulated drive through the real bridge.
orvex_add_test(tst_numericstatus SOURCES tst_numericstatus.cpp
  LIBS orvex_status orvex_testprogram)
target_compile_definitions(tst_numericstatus PRIVATE ORVEX_TEST_DATA_DIR="${ORVEX_DATA_DIR}")
target_include_directories(tst_numericstatus PRIVATE ${CMAKE_SOURCE_DIR}/src/app)
