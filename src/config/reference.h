// The target record and its constant tables.
#pragma once
#include <array>
#include <cstdint>

#include "color/color.h"
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

struct reference_t {
    standard_t standard;
    white_t white;
    int32_t test_type;   // 0 Power, 1 BT.1886, 2 PQ, 3 HLG
    float gamma;
    float white_level;
    float peak_lum;
    float max_E;
    int32_t gray_steps;
    mat3_t RGB_to_XYZ;
    mat3_t XYZ_to_RGB;
    color_block_t yellow, cyan, magenta;
};

extern reference_t *reference;

extern const std::array<standard_t, 6> standard_type;
extern const std::array<white_t, 18> white_type;
extern const char sensor_name[9][10];
// The EOTF names of `test_type` 0 to 3, as the command line takes them.
extern const std::array<const char *, 4> eotf_names;

void init_reference();
mat3_t get_primaries_matrix(standard_t s);
void init_ref_matrix();
