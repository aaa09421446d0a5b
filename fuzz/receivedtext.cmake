# libFuzzer target for the received-text box every drive console shares
# (terminal, error log): any bytes from the drive, any split into reads.
add_executable(fuzz_receivedtext
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_receivedtext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../src/Shared/Common/ReceivedText.cpp
)
target_include_directories(fuzz_receivedtext PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../src/Shared/Common)
target_link_libraries(fuzz_receivedtext PRIVATE Qt6::Widgets)
target_compile_options(fuzz_receivedtext PRIVATE
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
target_link_options(fuzz_receivedtext PRIVATE -fsanitize=fuzzer,address,undefined)
set_target_properties(fuzz_receivedtext PROPERTIES AUTOMOC OFF)
orvex_set_warnings(fuzz_receivedtext)
