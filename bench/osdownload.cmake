# The operating system download through the drive bridge over a pseudo-terminal
# to the standalone simulated drive; prints its own figures.
add_executable(bench_osdownload ${CMAKE_CURRENT_LIST_DIR}/bench_osdownload.cpp)
target_link_libraries(bench_osdownload PRIVATE orvex_bridge orvex_link Qt6::Core orvex_bench_links)
add_dependencies(bench_osdownload OrvexDriveSimulator)
target_compile_definitions(bench_osdownload PRIVATE
  ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}"
  ORVEX_SIMULATOR_PATH="$<TARGET_FILE:OrvexDriveSimulator>")
orvex_set_warnings(bench_osdownload)
