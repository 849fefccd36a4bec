# A short run of each fuzz target joins the test suite. The targets need clang and libFuzzer
# whatever compiler this tree uses, so they build in a tree of their own (fuzz/) as an external
# project; without a working clang -fsanitize=fuzzer the runs are left out with a note.
option(QUILLET_FUZZ_SMOKE "Build the fuzz targets with clang and run each briefly as a test" ON)
set(QUILLET_FUZZ_SECONDS 25 CACHE STRING "Seconds each fuzz target runs in the test suite")

if(NOT (BUILD_TESTING AND QUILLET_FUZZ_SMOKE))
  return()
endif()

find_program(QUILLET_CLANGXX NAMES clang++ clang++-14)
set(_fuzz_ok FALSE)
if(QUILLET_CLANGXX)
  set(_probe ${CMAKE_BINARY_DIR}/fuzz-probe)
  file(WRITE ${_probe}/probe.cpp
       "#include <cstddef>\n#include <cstdint>\n"
       "extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t *, std::size_t) { return 0; }\n")
  execute_process(
    COMMAND ${QUILLET_CLANGXX} -fsanitize=fuzzer,address,undefined probe.cpp -o probe
    WORKING_DIRECTORY ${_probe}
    RESULT_VARIABLE _probe_rc OUTPUT_QUIET ERROR_QUIET)
  if(_probe_rc EQUAL 0)
    set(_fuzz_ok TRUE)
  endif()
endif()
if(NOT _fuzz_ok)
  message(STATUS "No clang with libFuzzer (install clang and libclang-rt-14-dev): "
                 "the fuzz smoke runs are left out")
  return()
endif()

include(ExternalProject)
set(QUILLET_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(quillet_fuzz
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
  BINARY_DIR ${QUILLET_FUZZ_DIR}
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${QUILLET_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DCMAKE_PREFIX_PATH=${CMAKE_PREFIX_PATH}
  # The sources live outside the external tree: let its own build decide what is stale.
  BUILD_ALWAYS ON
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${QUILLET_FUZZ_DIR} -j 2
  INSTALL_COMMAND "")

# A small quarantine: with the default each input's large buffers come fresh from the kernel,
# which costs more than the rest of a run.
set(_asan "ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=1")
foreach(target text image kosinski nemesis enigma level sprites layouts)
  # New inputs go to the first (scratch) folder; the checked-in seeds are only read.
  set(_scratch ${QUILLET_FUZZ_DIR}/corpus-${target})
  file(MAKE_DIRECTORY ${_scratch} ${QUILLET_FUZZ_DIR}/artifacts)
  add_test(NAME fuzz_${target}
           COMMAND ${QUILLET_FUZZ_DIR}/fuzz_${target} -max_total_time=${QUILLET_FUZZ_SECONDS}
                   -seed=1 -timeout=20 -print_final_stats=1 -artifact_prefix=${QUILLET_FUZZ_DIR}/artifacts/
                   ${_scratch} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${target})
  set_tests_properties(fuzz_${target} PROPERTIES
    TIMEOUT 300 LABELS fuzz
    ENVIRONMENT "${_asan};UBSAN_OPTIONS=print_stacktrace=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/sanitizers/lsan.supp")
endforeach()
