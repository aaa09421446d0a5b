# The bit status page's automatic update on the simulated drive: CPU cost of
# the one-second timer and memory over many update steps; prints its own
# figures. The program on the simulated drive is put together as the page
# tests do, from the test fixture's sources (the tests need not be built).
add_executable(bench_statuspanel
  ${CMAKE_CURRENT_LIST_DIR}/bench_statuspanel.cpp
  ${CMAKE_SOURCE_DIR}/tests/app/SimulatedProgram.cpp
  ${CMAKE_SOURCE_DIR}/tests/common/FakeUiServices.cpp
)
target_include_directories(bench_statuspanel PRIVATE
  ${CMAKE_SOURCE_DIR}/tests/app ${CMAKE_SOURCE_DIR}/tests/common)
target_link_libraries(bench_statuspanel PRIVATE orvex_app orvex_status orvex_motordb_core Qt6::Widgets)
target_compile_definitions(bench_statuspanel PRIVATE
  ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}" ORVEX_TEST_DATA_DIR="${ORVEX_DATA_DIR}")
orvex_set_warnings(bench_statuspanel)
