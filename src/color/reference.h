// The target record and the constant tables of colour spaces and whites.
#pragma once
#include <array>
#include <cstdint>

#include "color/color.h"
#include "color/eotf.h"
#include "color/matrix.h"

struct standard_t {
    const char *name;
    color_block_t red, green, blue;
};

struct white_t {
    const char *name;
    color_block_t color;
    int32_t cct;
};

// What the display under test is judged against, as the command line set it.
// Nothing writes into it after the command line: what a job measures lives in
// the job.
struct reference_t {
    standard_t standard;
    white_t white;
    eotf_t test_type;
    float gamma;
    float peak_lum;  // peak luminance of a curve that takes one (HLG); 0: none given
    mat3_t RGB_to_XYZ;
    mat3_t XYZ_to_RGB;
};

extern const std::array<standard_t, 6> standard_type;
extern const std::array<white_t, 18> white_type;

// The default target (DCI-P3, D65, Power 2.4) without its matrices.
reference_t init_reference();
mat3_t get_primaries_matrix(standard_t s);
// Derives the two matrices from the target's colour space and white.
void init_ref_matrix(reference_t &ref);
