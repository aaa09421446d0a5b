# orvex-drive as a script runs it: process start to exit against the drive's
# own answer time, and transfers on a pseudo-terminal against their wire time.
add_executable(bench_drivetool ${CMAKE_CURRENT_LIST_DIR}/bench_drivetool.cpp)
target_link_libraries(bench_drivetool PRIVATE orvex_cli Qt6::Core orvex_bench_links)
add_dependencies(bench_drivetool orvex-drive OrvexDriveSimulator)
target_compile_definitions(bench_drivetool PRIVATE
  ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}"
  ORVEX_DRIVE_TOOL_PATH="$<TARGET_FILE:orvex-drive>"
  ORVEX_SIMULATOR_PATH="$<TARGET_FILE:OrvexDriveSimulator>")
orvex_set_warnings(bench_drivetool)
