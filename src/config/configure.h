// Command line: the target and the run's settings.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "color/reference.h"

// What the command line sets: the target, the sensor and the test data file.
struct settings_t {
    reference_t target;
    int32_t sensor_id = 0;
    std::string test_file_path;  // the default file unless -testFilePath names one
    bool test_file_path_set = false;
    // The console lines of options and values that were skipped, without
    // their line ends: the job is judged against the defaults instead.
    std::vector<std::string> warnings;
};

// The defaults before any option: the default target and test data file.
settings_t default_settings();

// Reads the options into `settings` (which starts from default_settings()),
// reports settings and defaults and derives the target's matrices.
// Returns 0, or -1 when a value is rejected.
int read_configure(int argc, char **argv, settings_t &settings);
