// Colour records and the colour science: coordinates (coordinates.cpp),
// transfer functions (transfer.cpp) and colour differences (difference.cpp).
#pragma once
#include "color/matrix.h"

struct color_block_t {
    float X, Y, Z;
    float R, G, B;
    float x, y;
    float u, v;
    float L, a, b;
    float ts0, ts1, ts2;
};

// One measured patch: its colour block followed by the evaluation results.
struct color_t {
    color_block_t c;
    float dE2000;
    float gamma;
    float dEITP;
    float dEICTCP_240;
    float E_prime;
};

struct white_t;
struct reference_t;

// What get_color_dE2000 and get_color_HDR_dEITP return when handed no patch
// at all (a null pointer, a caller's fault). A slot that no data line filled
// is a zero record, not this value: the store's *_measured flags mark it.
inline constexpr float DE_MISSING = -9999.99f;

// Functions that depend on the target take it as a parameter; none reads or
// writes any state of its own.

// Coordinates and conversions.
void get_XYZ_from_xyY(color_block_t *c);
void get_xyY_from_XYZ(color_block_t *c);
void get_XYZ_from_RGB(const reference_t &ref, color_block_t *c);
float Fratio(float t);
void get_Lab_from_XYZ(color_block_t *c, color_block_t white);
white_t get_user_defined_white(const reference_t &ref, float luminance);
mat3_t get_RGB_to_XYZ_matrix(const mat3_t &primaries, const vec3_t &white);
mat3_t get_XYZ_to_RGB_matrix(const reference_t &ref);
void update_secondary(const reference_t &ref, color_block_t *out, const color_block_t *c1,
                      const color_block_t *c2, const color_block_t *c3);
void print_xyY(const color_block_t *c);

// Transfer functions. `bright` and `dark` are the measured white and black
// luminance of the job. The expected-colour functions and the gamma
// estimators are those of the EOTF table's rows (color/eotf.h).
float get_gamma_power(float signal, float white_Y, float black_Y, float measured_Y);
float get_gamma_BT_1886(float signal, float white_Y, float black_Y, float measured_Y);
void get_expect(const reference_t &ref, float bright, float dark, color_block_t *c);
float get_ST2084_EOTF(float e);
float get_ST2084_inver_EOTF(float luminance);
void get_expect_ST2084(const reference_t &ref, float bright, float dark, color_block_t *c);
float get_HLG_inver_OETF(float e);
// The peak luminance of a curve that takes one: the target's (-lum), or the
// measured white `bright` when none was given.
bool peak_lum_given(const reference_t &ref);
float get_peak_lum(const reference_t &ref, float bright);
float get_HLG_OOTF(float Es, const float *rgb, float system_gamma, float alpha, float beta);
float get_HLG_EOTF(const reference_t &ref, float e, const float *ts, float bright, float dark);
void get_expect_HLG(const reference_t &ref, float bright, float dark, color_block_t *c);
// The PQ value that a grayscale signal should show on a display whose white
// is `white_level` (PQ value `max_E`); 0 for an EOTF without a row.
float get_expected_gray_E(const reference_t &ref, float white_level, float max_E, float signal);
// The distance of a grayscale patch's measured PQ value from the target's at
// its signal; `white_level` is the measured white, `max_E` its PQ value.
float get_diff_EOTF(const reference_t &ref, float white_level, float max_E, float signal, float measured_E);

// Colour differences.
float get_color_dE2000(const reference_t &ref, float bright, float dark, color_t *patch);
float get_dE2000_from_XYZ_bright_Y(const reference_t &ref, color_block_t *first, color_block_t *second, float Yu);
float get_dE2000_from_Lab(color_block_t first, color_block_t second);
float get_color_HDR_dEITP(const reference_t &ref, float bright, float dark, color_t *patch);
float get_color_HDR_dEICTCP_240(const reference_t &ref, float bright, float dark, color_t *patch);
float get_dEITP_from_XYZ(const reference_t &ref, const float *xyz1, const float *xyz2);
float get_dEITP_from_ICtCp(const reference_t &ref, const float *ictcp1, const float *ictcp2);
void get_ITP_from_ICtCp(const reference_t &ref, const float *ictcp, float *itp);
void get_ICtCp_from_XYZ(const reference_t &ref, const float *xyz, float *ictcp);
void get_LMS_from_XYZ(const float *xyz, float *lms);
