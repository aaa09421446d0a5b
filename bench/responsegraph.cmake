# The tuning pages' response graph redrawn offscreen with all four sessions
# drawn; prints its own figures.
add_executable(bench_responsegraph
  ${CMAKE_CURRENT_LIST_DIR}/bench_responsegraph.cpp
  ${CMAKE_SOURCE_DIR}/tests/common/FakeUiServices.cpp
)
target_include_directories(bench_responsegraph PRIVATE ${CMAKE_SOURCE_DIR}/tests/common)
target_link_libraries(bench_responsegraph PRIVATE orvex_tuning_graph Qt6::Widgets)
orvex_set_warnings(bench_responsegraph)
