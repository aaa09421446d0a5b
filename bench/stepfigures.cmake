# The step-response figures of the four tuning sessions of 512 samples.
add_executable(bench_stepfigures ${CMAKE_CURRENT_LIST_DIR}/bench_stepfigures.cpp)
target_link_libraries(bench_stepfigures PRIVATE orvex_tuning_core benchmark::benchmark Qt6::Core)
set_target_properties(bench_stepfigures PROPERTIES AUTOMOC OFF)
orvex_set_warnings(bench_stepfigures)
