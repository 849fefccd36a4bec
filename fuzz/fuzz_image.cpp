// libFuzzer entry point: every input goes through the checks; a broken invariant aborts, so
// libFuzzer keeps the input as a crash.
#include "fuzzchecks.h"

#include <cstdio>
#include <cstdlib>

// Short allocation stacks: the checks build thousands of small strings per input, and recording
// thirty frames for each costs most of the run time. Reports still say where memory came from.
extern "C" const char *__asan_default_options() { return "malloc_context_size=8"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString failure = fuzzcheck::imagePath(data, size);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "invariant broken: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}
