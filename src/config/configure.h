// Command line and test data file.
#pragma once
#include <cstdint>

#include "color/color.h"

extern bool flag_cfg_colorSpace;
extern bool flag_cfg_EOTF;
extern bool flag_cfg_gamma;
extern bool flag_cfg_cct;
extern bool flag_cfg_lum;
extern int32_t sensor_id;
extern const char *test_file_path;

// Reads the options into the reference record, reports settings and
// defaults and derives the matrices.
// Returns 0, or -1 when a value is rejected.
int read_configure(int argc, char **argv);

// Test data file: opens it and skips the two header lines (0, or -1).
int init_test_data_file();
// Reads the next data line into the block (0), or -1 at the end.
int get_XYZ_from_file(color_block_t *block);
