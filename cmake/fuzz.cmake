# libFuzzer targets, one per entry point of untrusted bytes (fuzz/*_fuzzer.cpp), and the program
# that writes their seed corpora from the test fixture writers. Needs clang; the whole tree is
# built with AddressSanitizer and UndefinedBehaviorSanitizer and libFuzzer's coverage.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MORVANE_FUZZ needs clang (CC=clang CXX=clang++)")
endif()

file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/*_fuzzer.cpp)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzzer$" "" target ${name})
  add_executable(fuzz_${target} ${source})
  target_link_libraries(fuzz_${target} PRIVATE morvane_core)
  target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
  set_target_properties(fuzz_${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
endforeach()

add_executable(morvane_fuzz_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/seed_writer.cpp)
target_link_libraries(morvane_fuzz_seeds PRIVATE morvane_test_support)
