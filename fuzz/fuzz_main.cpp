// libFuzzer entry point of every target: each input goes through the target's checks, named by
// QUILLET_FUZZ_CHECK when the target is built.
#include "fuzzchecks.h"

// Short allocation stacks: the checks build thousands of small strings per input, and recording
// thirty frames for each costs most of the run time. Reports still say where memory came from.
extern "C" const char *__asan_default_options() {
    return "malloc_context_size=8";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return fuzzcheck::abortOnFailure(fuzzcheck::QUILLET_FUZZ_CHECK(data, size));
}
