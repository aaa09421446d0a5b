# libFuzzer target for the command database's XML reader. The reader's source
# is compiled into the fuzzer itself so it carries the coverage
# instrumentation; it needs nothing but the standard library.
add_executable(fuzz_markup
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_markup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../src/commands/Markup.cpp
)
target_include_directories(fuzz_markup PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../src/commands)
target_compile_options(fuzz_markup PRIVATE
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
target_link_options(fuzz_markup PRIVATE -fsanitize=fuzzer,address,undefined)
set_target_properties(fuzz_markup PROPERTIES AUTOMOC OFF)
orvex_set_warnings(fuzz_markup)
