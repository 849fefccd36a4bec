// libFuzzer entry point: every input goes through the checks.
#include "fuzzchecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    return fuzzcheck::abortOnFailure(fuzzcheck::spriteDrawing(data, size));
}
