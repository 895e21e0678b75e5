// libFuzzer target: arbitrary bytes as the file name, serial number and
// warnings of a job, through its results record, 1.json and the PNG text chunk.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string broken = fuzz_entry::run_record(data, size, ANALYZER_SAMPLES_DIR);
    if (!broken.empty()) {
        fprintf(stderr, "check failed: %s\n", broken.c_str());
        abort();
    }
    return 0;
}
