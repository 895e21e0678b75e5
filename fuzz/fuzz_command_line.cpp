// libFuzzer target: arbitrary argument lists through the command line reader,
// then a sample evaluated under the target it configured.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string broken = fuzz_entry::run_command_line(data, size, ANALYZER_SAMPLES_DIR);
    if (!broken.empty()) {
        fprintf(stderr, "check failed: %s\n", broken.c_str());
        abort();
    }
    return 0;
}
