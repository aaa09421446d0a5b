# The simulated drive's capture and auto tuning computations on its motor model.
add_executable(bench_capture ${CMAKE_CURRENT_LIST_DIR}/bench_capture.cpp)
target_link_libraries(bench_capture PRIVATE orvex_sim benchmark::benchmark Qt6::Core)
set_target_properties(bench_capture PROPERTIES AUTOMOC OFF)
orvex_set_warnings(bench_capture)
