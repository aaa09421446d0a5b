# Configuration upload and download through the drive bridge against the
# simulated drive paced at the drive's line speed; prints its own figures.
add_executable(bench_transfer ${CMAKE_CURRENT_LIST_DIR}/bench_transfer.cpp)
target_link_libraries(bench_transfer PRIVATE orvex_bridge orvex_sim Qt6::Core orvex_bench_links)
target_compile_definitions(bench_transfer PRIVATE ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}")
orvex_set_warnings(bench_transfer)
