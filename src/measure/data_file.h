// The test data file: two header lines, then one patch per line as six
// comma-separated numbers "ts0,ts1,ts2,X,Y,Z".
#pragma once
#include <functional>

#include "color/color.h"

// Reads the file and hands every patch line, in file order, to `patch` as a
// block with only the signal and XYZ set. Lines that are blank, too long or
// not exactly six numbers are skipped with a warning. Returns false (after
// perror) when the file cannot be opened.
bool read_test_data(const char *path, const std::function<void(const color_block_t &)> &patch);
