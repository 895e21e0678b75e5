// libFuzzer target: arbitrary bytes as the file name, serial number and
// warnings of a job, through its results record, 1.json and the PNG text chunk.
#include "fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz_entry::stop_if_broken(fuzz_entry::run_record(data, size, ANALYZER_SAMPLES_DIR));
}
