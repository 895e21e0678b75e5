// libFuzzer target: arbitrary argument lists through the command line reader,
// then a sample evaluated under the target it configured.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz_entry::stop_if_broken(fuzz_entry::run_command_line(data, size, ANALYZER_SAMPLES_DIR));
}
