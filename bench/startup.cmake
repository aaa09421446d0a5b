# Start-up to the main window shown, with the shipped data.
add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
target_link_libraries(bench_startup PRIVATE orvex_app Qt6::Test)
orvex_set_warnings(bench_startup)
add_dependencies(bench_startup OrvexMotorDatabase)
