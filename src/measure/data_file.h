// The test data file: two header lines, then one patch per line as six
// comma-separated numbers "ts0,ts1,ts2,X,Y,Z".
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "color/color.h"

// A real job is a few kilobytes; anything larger than this is refused
// rather than read for minutes.
inline constexpr int64_t TEST_DATA_MAX_BYTES = int64_t{64} << 20;

// At most this many skipped lines are reported one by one; one line then
// gives the number of the others.
inline constexpr int64_t LINE_WARNINGS_MAX = 100;

// Reads the file and hands every patch line, in file order, to `patch` as a
// block with only the signal and XYZ set. Lines end at LF, CR LF or CR.
// Blank lines are skipped; lines that are too long or not exactly six
// numbers (a NUL byte anywhere makes a line malformed) are skipped with a
// warning, and counted in `lines_skipped` when given. Returns false,
// with the reason on standard error, when the file cannot be opened or read,
// is not a regular file (a FIFO or a device never blocks the run) or is
// larger than TEST_DATA_MAX_BYTES. The skipped lines' warnings are also kept
// in `warnings` when given.
bool read_test_data(const char *path, const std::function<void(const color_block_t &)> &patch,
                    int64_t *lines_skipped = nullptr, std::vector<std::string> *warnings = nullptr);
