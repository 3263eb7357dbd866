# libFuzzer targets, built with clang when FENNEC_FUZZ is on. The code under test carries the
# fuzzer's coverage and the sanitizers (top-level options); a target adds libFuzzer's main.
# Each target is one source file named after it; the arguments after the name are its libraries.
function(add_fuzzer name)
  add_executable(${name} ${name}.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # FuzzCheck.h: the properties a fuzzer checks fail as a crash does.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fennec/fuzz)
  project_warnings(${name})
endfunction()
