# libFuzzer target for the user buttons' ".btn" reader. Its sources are
# compiled into the fuzzer so they carry the coverage instrumentation; they
# need nothing but QtCore.
add_executable(fuzz_buttonfile
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_buttonfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../src/terminal/ButtonFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../src/terminal/UserButtonInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../src/components/BoundedFile.cpp
)
target_include_directories(fuzz_buttonfile PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../src/terminal ${CMAKE_CURRENT_LIST_DIR}/../src/components)
target_link_libraries(fuzz_buttonfile PRIVATE Qt6::Core)
target_compile_options(fuzz_buttonfile PRIVATE
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
target_link_options(fuzz_buttonfile PRIVATE -fsanitize=fuzzer,address,undefined)
set_target_properties(fuzz_buttonfile PROPERTIES AUTOMOC OFF)
orvex_set_warnings(fuzz_buttonfile)
