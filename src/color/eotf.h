// The target EOTFs, one row each: everything that differs between them. The
// command line, the evaluation, the simulator and the report read the row of
// the target's `test_type`; adding an EOTF is adding a row and its functions.
#pragma once
#include <cstdint>
#include <span>

#include "color/signal_tables.h"

struct color_block_t;
struct reference_t;

// The EOTF a target follows; the value is its row's id.
enum eotf_t : int32_t {
    EOTF_POWER = 0,
    EOTF_BT1886 = 1,
    EOTF_PQ = 2,
    EOTF_HLG = 3,
};

// How the expected luminance relates to the measured white.
enum eotf_clip_t {
    // Relative: the curve runs from the measured black to the measured white.
    CLIP_NONE,
    // Absolute: the signal's own luminance, up to the measured white and no
    // further. Grayscale patches at or above the white's PQ value are not
    // judged as pillars, and the expected PQ value is the signal up to there.
    CLIP_AT_WHITE,
};

// ICtCp's colour-difference rows (LMS weights in units of 1/4096) and the
// ITP scales of the T and P components.
struct ictcp_weights_t {
    double Ct[3];
    double Cp[3];
    double T_scale;
    double P_scale;
};

// Expected colour of the block's test signal on a display whose white and
// black are `bright` and `dark` cd/m2: fills its X, Y, Z, x and y.
using expect_fn = void (*)(const reference_t &ref, float bright, float dark, color_block_t *c);
// A grayscale patch's gamma from its signal and the white, black and
// measured luminance.
using gamma_fn = float (*)(float signal, float white_Y, float black_Y, float measured_Y);

struct eotf_row_t {
    eotf_t id;
    const char *name;         // as -EOTF takes it and the results record names it
    bool hdr;                 // HDR report; else SDR
    expect_fn expect;
    gamma_fn gamma;           // the SDR report's estimator; null: no gamma is measured
    const gamut_table_t *gamut;              // nominal signals of the gamut patches
    const checker_table_t *checker;          // and of the colour-checker patches,
    const checker_codes_t *checker_codes;    // with their 8-bit codes (swatch colours)
    eotf_clip_t clip;
    bool uses_peak_lum;       // the curve depends on the peak luminance (-lum)
    const ictcp_weights_t *ictcp;  // the ΔE ITP of an HDR report; null for SDR
    const char *panel_label;  // the panel's EOTF; followed by the target gamma when the row has an estimator
    float reference_white;    // cd/m2 of the reference display's white (the simulator's default)
};

// Every row, in id order.
extern const std::span<const eotf_row_t> eotf_table;

// The row of an id or of a command-line name; null when no row has it.
const eotf_row_t *find_eotf(eotf_t id);
const eotf_row_t *find_eotf(const char *name);

// Whether the EOTF makes an HDR report; false for an unknown one.
bool is_hdr(eotf_t e);
