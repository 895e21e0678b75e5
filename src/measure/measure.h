// Patch store, classification and the measurement run.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "color/color.h"
#include "color/reference.h"
#include "color/signal_tables.h"
#include "measure/verdict.h"

inline constexpr int GRAY_MAX = 32;

// The patches of one job, sorted into their sets.
struct patch_store_t {
    std::array<color_t, GRAY_MAX> gray{};  // by rising signal
    int32_t gray_count = 0;
    bool super_white = false;  // a grayscale signal above 1.03 was kept
    int64_t gray_warnings = 0;  // grayscale patches refused or replaced
    std::array<color_t, GAMUT_COUNT> gamut{};
    std::array<color_t, CHECK_COUNT> check{};
    // Which gamut and colour-checker slots a data line of the job filled; the
    // gamut white is the grayscale's white.
    std::array<bool, GAMUT_COUNT> gamut_measured{};
    std::array<bool, CHECK_COUNT> check_measured{};
};

// The white of a job and what is derived from it.
struct job_white_t {
    bool measured = false;  // taken from a grayscale patch of the job
    float bright_Y = 100.0f;  // white luminance; the white level of the report
    float dark_Y = 0.0f;
    float max_E = 0.0f;     // PQ value of the white level
    int32_t gray_steps = 10;  // grayscale patches less one
    float hlg_peak = 0.0f;  // the target's HLG peak, or the white when it has none
};

enum report_kind : int { REPORT_SDR = 0, REPORT_HDR = 1 };

// One evaluated job: the target it was judged against, its patches with
// their results, its white and its verdicts.
struct job_t {
    reference_t target;
    report_kind kind = REPORT_SDR;
    std::string test_data_file;
    bool evaluated = false;  // false: the test data file could not be read
    int64_t lines_skipped = 0;  // data lines that were not six numbers or too long
    patch_store_t store;
    job_white_t white;
    int32_t hdr_gray_pillar_count = 0;  // HDR grayscale patches below the PQ clip
    job_summary_t summary{};
    // The console's warnings about the job's data (skipped lines, refused or
    // replaced patches, no grayscale, unmeasured slots), without line ends.
    std::vector<std::string> data_warnings;
};

// Sorts one data line into the store: grayscale by signal, gamut and
// colour-checker patches into the slot of the nearest nominal signal of the
// tables of the target's EOTF row. A target whose EOTF has no row stores nothing.
// A refused or replaced grayscale patch is reported, and kept in `warnings` when given.
void add_test_data(const reference_t &target, patch_store_t &store, const color_block_t &block,
                   std::vector<std::string> *warnings = nullptr);

// Evaluates one job without drawing: reads the test data file, computes every
// patch's results, the white and the verdict summary. A file that cannot be
// opened, or a target whose EOTF has no row, gives a job that is not evaluated
// (an empty store, every verdict failing).
job_t evaluate(const reference_t &target, const char *test_data_file);
