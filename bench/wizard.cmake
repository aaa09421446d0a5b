# The configuration wizard's series change and "Validate All Motors" in the
# main window on the simulated drive, on a generated 10,000-motor database
# and on the shipped one; prints its own figures.
add_executable(bench_wizard
  ${CMAKE_CURRENT_LIST_DIR}/bench_wizard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GeneratedMotors.h
  ${CMAKE_CURRENT_LIST_DIR}/GeneratedMotors.cpp
  ${CMAKE_SOURCE_DIR}/tests/app/SimulatedProgram.cpp
  ${CMAKE_SOURCE_DIR}/tests/common/FakeUiServices.cpp
)
target_include_directories(bench_wizard PRIVATE
  ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR}/tests/app ${CMAKE_SOURCE_DIR}/tests/common)
target_link_libraries(bench_wizard PRIVATE orvex_app orvex_motordb_core Qt6::Widgets)
target_compile_definitions(bench_wizard PRIVATE
  ORVEX_BENCH_DATA_DIR="${ORVEX_DATA_DIR}" ORVEX_TEST_DATA_DIR="${ORVEX_DATA_DIR}")
orvex_set_warnings(bench_wizard)
