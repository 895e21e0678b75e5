// libFuzzer target: arbitrary test data files through the evaluation and the
// overlays' verdict arithmetic, under every EOTF, colour space and white.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_entry.h"

namespace {
std::string data_path;

void remove_data_file()
{
    unlink(data_path.c_str());
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *tmp = getenv("TMPDIR");
    data_path = std::string(tmp != nullptr ? tmp : "/tmp") + "/fuzz_test_data." + std::to_string(getpid()) + ".csv";
    atexit(remove_data_file);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzz_entry::stop_if_broken(fuzz_entry::run_test_data(data, size, data_path), "store check");
}
