# The motor database's cascade queries on a generated 10,000-motor database.
add_executable(bench_motordb ${CMAKE_CURRENT_LIST_DIR}/bench_motordb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneratedMotors.h ${CMAKE_CURRENT_LIST_DIR}/GeneratedMotors.cpp)
target_link_libraries(bench_motordb PRIVATE orvex_motordb_core benchmark::benchmark Qt6::Core)
set_target_properties(bench_motordb PROPERTIES AUTOMOC OFF)
orvex_set_warnings(bench_motordb)
