// Patch store, classification and the measurement run.
#pragma once
#include <array>
#include <cstdint>

#include "color/color.h"

inline constexpr int GRAY_MAX = 32;
inline constexpr int GAMUT_COUNT = 7;
inline constexpr int CHECK_COUNT = 18;

extern color_t data_gray[GRAY_MAX];
extern int32_t test_data_gray_count;
extern int32_t flag_super_white;
extern color_t data_gamut[GAMUT_COUNT];
extern color_t data_check[CHECK_COUNT];
extern int32_t hdr_gray_pillar_count;
// Which gamut and colour-checker slots a data line of the job filled; the
// gamut white is the grayscale's white.
extern bool data_gamut_measured[GAMUT_COUNT];
extern bool data_check_measured[CHECK_COUNT];
// Whether the run took its white from a grayscale patch of the job.
extern bool white_measured;

using signal_row_t = std::array<float, 3>;
using code_row_t = std::array<int32_t, 3>;
extern const std::array<signal_row_t, GAMUT_COUNT> gamut_stand_sdr;
extern const std::array<signal_row_t, GAMUT_COUNT> gamut_stand_hdr;
extern const std::array<signal_row_t, CHECK_COUNT> colorCheck_stand_sdr;
extern const std::array<signal_row_t, CHECK_COUNT> colorCheck_stand_hdr;
extern const std::array<code_row_t, CHECK_COUNT> colorCheck_stand_sdr_int;
extern const std::array<code_row_t, CHECK_COUNT> colorCheck_stand_hdr_int;

void add_test_data(const color_block_t *block);
void del_test_data();

// Evaluation of one job (kind 0 SDR, 1 HDR), without drawing: reads the test
// data file into the store, computes every patch's results and the verdict
// summary `job_summary`. Returns false when the file cannot be opened.
bool evaluate_measure(int kind);
