# libFuzzer targets for the readers of the files a user hands the program:
# the configuration file, the motor database and its custom winding cross
# reference. Their sources are compiled into each fuzzer so they carry the
# coverage instrumentation; they need nothing but QtCore.
set(orvex_source ${CMAKE_CURRENT_LIST_DIR}/../src)
set(orvex_motordb_sources
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_motordb.cpp
  ${orvex_source}/motordb/MotorDatabaseReader.cpp
  ${orvex_source}/motordb/MotorRecord.cpp
  ${orvex_source}/motordb/MotorTable.cpp
  ${orvex_source}/motordb/CrossReference.cpp
  ${orvex_source}/commands/Markup.cpp
  ${orvex_source}/components/BoundedFile.cpp
)

add_executable(fuzz_kvtfile
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_kvtfile.cpp
  ${orvex_source}/bridge/KvtFile.cpp
  ${orvex_source}/bridge/ConfigurationValues.cpp
  ${orvex_source}/components/BoundedFile.cpp
  ${orvex_source}/components/ComponentError.cpp
)
add_executable(fuzz_motorfile ${orvex_motordb_sources})
add_executable(fuzz_crossreference ${orvex_motordb_sources})
target_compile_definitions(fuzz_crossreference PRIVATE ORVEX_FUZZ_CROSS_REFERENCE)

foreach(target fuzz_kvtfile fuzz_motorfile fuzz_crossreference)
  target_include_directories(${target} PRIVATE ${orvex_source}/bridge ${orvex_source}/motordb
    ${orvex_source}/commands ${orvex_source}/components)
  target_link_libraries(${target} PRIVATE Qt6::Core)
  target_compile_options(${target} PRIVATE
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${target} PROPERTIES AUTOMOC OFF)
  orvex_set_warnings(${target})
endforeach()
