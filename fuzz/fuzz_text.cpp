// libFuzzer entry point: every input goes through the checks; a broken invariant aborts, so
// libFuzzer keeps the input as a crash.
#include "fuzzchecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString failure = fuzzcheck::textHelpers(data, size);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "invariant broken: %s\n", qPrintable(failure));
        std::abort();
    }
    return 0;
}
