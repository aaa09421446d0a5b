# The drive snapshot against the standalone simulated drive on a
# pseudo-terminal at 115200 baud, without its fixed pauses, set against the
# time its bytes need on the wire; prints its own figures.
add_executable(bench_snapshot
  ${CMAKE_CURRENT_LIST_DIR}/bench_snapshot.cpp
  ${CMAKE_SOURCE_DIR}/tests/common/FakeUiServices.cpp
)
target_include_directories(bench_snapshot PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
target_link_libraries(bench_snapshot PRIVATE orvex_support orvex_bridge orvex_link orvex_ports Qt6::Widgets orvex_bench_links)
add_dependencies(bench_snapshot OrvexDriveSimulator)
target_compile_definitions(bench_snapshot PRIVATE
  ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}"
  ORVEX_SIMULATOR_PATH="$<TARGET_FILE:OrvexDriveSimulator>")
orvex_set_warnings(bench_snapshot)
