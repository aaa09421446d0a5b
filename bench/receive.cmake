# The receive path of the drive consoles: link Read to text shown.
add_executable(bench_receive ${CMAKE_CURRENT_LIST_DIR}/bench_receive.cpp)
target_link_libraries(bench_receive PRIVATE orvex_common orvex_link orvex_sim Qt6::Widgets)
target_compile_definitions(bench_receive PRIVATE ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}")
orvex_set_warnings(bench_receive)
