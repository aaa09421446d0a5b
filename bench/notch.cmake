# The notch filter page: from a key press to the command at the simulated
# drive; prints its own figures.
add_executable(bench_notch
  ${CMAKE_CURRENT_LIST_DIR}/bench_notch.cpp
  ${CMAKE_SOURCE_DIR}/tests/app/SimulatedProgram.cpp
  ${CMAKE_SOURCE_DIR}/tests/common/FakeUiServices.cpp
)
target_include_directories(bench_notch PRIVATE
  ${CMAKE_SOURCE_DIR}/tests/app ${CMAKE_SOURCE_DIR}/tests/common)
target_link_libraries(bench_notch PRIVATE orvex_app orvex_motordb_core Qt6::Widgets Qt6::Test)
target_compile_definitions(bench_notch PRIVATE ORVEX_TEST_DATA_DIR="${ORVEX_DATA_DIR}")
orvex_set_warnings(bench_notch)
