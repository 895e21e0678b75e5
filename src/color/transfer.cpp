// Transfer functions: the expected colour of a test signal under each target
// EOTF (power law, BT.1886, PQ, HLG), the gamma estimators and the EOTF
// tracking error.
//
// Colour arithmetic is single precision. Where a step is done in double the
// operands are widened, the step is computed in double and the result is
// narrowed when it is stored; the casts below mark those places.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "color/color.h"
#include "color/reference.h"
#include "color/tolerance.h"

namespace {

// SMPTE ST 2084 constants.
constexpr double PQ_INV_M2 = 0.012683313515655966;
constexpr double PQ_INV_M1 = 6.277394636015326;
constexpr double PQ_M1 = 0.1593017578125;
constexpr double PQ_M2 = 78.84375;
constexpr double PQ_C1 = 0.8359375;
constexpr double PQ_C2 = 18.8515625;
constexpr double PQ_C3 = 18.6875;
constexpr float PQ_PEAK = 10000.0f;

// HLG OETF constants.
constexpr float HLG_A = 0.17883277f;
constexpr double HLG_B = 0.2846689224243164;
constexpr float HLG_C = 0.5599107f;

// The x, y of a relative XYZ block; a black block takes the target white's
// chromaticity.
void chromaticity_or_white(const reference_t &ref, color_block_t *local)
{
    if (near_zero(local->X + local->Y + local->Z)) {
        local->x = ref.white.color.x;
        local->y = ref.white.color.y;
    } else {
        get_xyY_from_XYZ(local);
    }
}

// Stores x, y, Y into c and completes its X and Z.
void store_xyY(color_block_t *c, float x, float y, float Y)
{
    c->x = x;
    c->y = y;
    c->Y = Y;
    get_XYZ_from_xyY(c);
}

}  // namespace

float get_gamma_power(float signal, float white_Y, float black_Y, float measured_Y)
{
    if (near_zero(white_Y) || near_zero(measured_Y - black_Y) || measured_Y < black_Y ||
        near_zero(signal - 1.0f))
        return 0.0f;
    const float ratio = (measured_Y - black_Y) / (white_Y - black_Y);
    return static_cast<float>(std::log(static_cast<double>(ratio)) /
                              std::log(static_cast<double>(signal)));
}

float get_gamma_BT_1886(float signal, float white_Y, float black_Y, float measured_Y)
{
    if (near_zero(white_Y))
        return 0.0f;
    constexpr double inv_2_4 = 0.4166666666666667;
    const double w = std::pow(static_cast<double>(white_Y), inv_2_4);
    const double k = std::pow(static_cast<double>(black_Y), inv_2_4);
    const float A = static_cast<float>(std::pow(w - k, 2.4));
    const float B = static_cast<float>(k / (w - k));
    const float V = signal + B;
    if (near_zero(V - 1.0f))
        return 2.4f;
    const float ratio = measured_Y / A;
    const float g = static_cast<float>(std::log(static_cast<double>(ratio)) /
                                       std::log(static_cast<double>(V)));
    return g < 0.0f ? -g : g;
}

void get_expect(const reference_t &ref, float bright, float dark, color_block_t *c)
{
    const double g = static_cast<double>(ref.gamma);
    color_block_t local{};
    local.R = static_cast<float>(std::pow(static_cast<double>(c->ts0), g));
    local.G = static_cast<float>(std::pow(static_cast<double>(c->ts1), g));
    local.B = static_cast<float>(std::pow(static_cast<double>(c->ts2), g));
    get_XYZ_from_RGB(ref, &local);
    chromaticity_or_white(ref, &local);
    store_xyY(c, local.x, local.y, dark + (bright - dark) * local.Y);
}

float get_ST2084_EOTF(float e)
{
    if (e >= 1.0f)
        return PQ_PEAK;
    if (e < 0.0f)
        return 0.0f;
    const double p = std::pow(static_cast<double>(e), PQ_INV_M2);
    float n = static_cast<float>(p - PQ_C1);
    if (n < 0.0f)
        n = 0.0f;
    const double d = PQ_C2 - PQ_C3 * std::pow(static_cast<double>(e), PQ_INV_M2);
    const float ratio = static_cast<float>(static_cast<double>(n) / d);
    return static_cast<float>(std::pow(static_cast<double>(ratio), PQ_INV_M1)) * PQ_PEAK;
}

float get_ST2084_inver_EOTF(float luminance)
{
    const float lum = std::clamp(luminance, 0.0f, PQ_PEAK);
    const float y = lum / PQ_PEAK;
    const double q = std::pow(static_cast<double>(y), PQ_M1);
    const float num = static_cast<float>(PQ_C1 + PQ_C2 * q);
    const float quot = static_cast<float>(static_cast<double>(num) / (1.0 + PQ_C3 * q));
    return static_cast<float>(std::pow(static_cast<double>(quot), PQ_M2));
}

void get_expect_ST2084(const reference_t &ref, float bright, float /*dark*/, color_block_t *c)
{
    color_block_t local{};
    local.R = get_ST2084_EOTF(c->ts0);
    local.G = get_ST2084_EOTF(c->ts1);
    local.B = get_ST2084_EOTF(c->ts2);
    get_XYZ_from_RGB(ref, &local);
    chromaticity_or_white(ref, &local);
    float Y = local.Y;
    // A neutral signal cannot exceed the display's measured white.
    const bool neutral = near_zero(c->ts0 - c->ts1) && near_zero(c->ts1 - c->ts2) &&
                         near_zero(c->ts0 - c->ts2);
    if (neutral && Y > bright)
        Y = bright;
    store_xyY(c, local.x, local.y, Y);
}

float get_HLG_inver_OETF(float e)
{
    if (e < 0.0f)
        return 0.0f;
    if (e <= 0.5f)
        return static_cast<float>(static_cast<double>(e) * static_cast<double>(e) / 3.0);
    const float q = (e - HLG_C) / HLG_A;
    return static_cast<float>((std::exp(static_cast<double>(q)) + HLG_B) / 12.0);
}

float get_HLG_OOTF(float Es, const float *rgb, float system_gamma, float alpha, float beta)
{
    if (near_zero(Es) || near_zero(alpha))
        return beta;
    const float Ys = static_cast<float>(0.2627 * static_cast<double>(rgb[0]) +
                                        0.678 * static_cast<double>(rgb[1]) +
                                        0.0593 * static_cast<double>(rgb[2]));
    const float g1 = system_gamma - 1.0f;
    return static_cast<float>(static_cast<double>(beta) +
                              static_cast<double>(alpha) *
                                  std::pow(static_cast<double>(Ys), static_cast<double>(g1)) *
                                  static_cast<double>(Es));
}

bool peak_lum_given(const reference_t &ref)
{
    return !near_zero(ref.peak_lum);
}

float get_peak_lum(const reference_t &ref, float bright)
{
    return peak_lum_given(ref) ? ref.peak_lum : bright;
}

float get_HLG_EOTF(const reference_t &ref, float e, const float *ts, float bright, float dark)
{
    const float peak = get_peak_lum(ref, bright);
    const float lg = log10f(peak / 1000.0f);
    const float g = static_cast<float>(1.2 + 0.42 * static_cast<double>(lg));
    const float Es = get_HLG_inver_OETF(e);
    const float scene[3] = {get_HLG_inver_OETF(ts[0]), get_HLG_inver_OETF(ts[1]),
                            get_HLG_inver_OETF(ts[2])};
    return get_HLG_OOTF(Es, scene, g, bright - dark, dark);
}

void get_expect_HLG(const reference_t &ref, float bright, float dark, color_block_t *c)
{
    const float ts[3] = {c->ts0, c->ts1, c->ts2};
    color_block_t local{};
    local.R = get_HLG_EOTF(ref, ts[0], ts, bright, dark);
    local.G = get_HLG_EOTF(ref, ts[1], ts, bright, dark);
    local.B = get_HLG_EOTF(ref, ts[2], ts, bright, dark);
    get_XYZ_from_RGB(ref, &local);
    chromaticity_or_white(ref, &local);
    store_xyY(c, local.x, local.y, local.Y * (bright - dark) / bright + dark);
}

float get_expected_gray_E(const reference_t &ref, float white_level, float max_E, float signal)
{
    const eotf_row_t *row = find_eotf(ref.test_type);
    if (row == nullptr)
        return 0.0f;
    if (row->clip == CLIP_AT_WHITE)
        return signal < max_E ? signal : max_E;
    color_block_t s{};
    s.ts0 = signal;
    s.ts1 = signal;
    s.ts2 = signal;
    row->expect(ref, white_level, 0.0f, &s);
    return get_ST2084_inver_EOTF(s.Y);
}

float get_diff_EOTF(const reference_t &ref, float white_level, float max_E, float signal, float measured_E)
{
    if (find_eotf(ref.test_type) == nullptr) {
        printf("Error: %s\r\n", "get_diff_EOTF");
        return 0.0f;
    }
    const float expected = get_expected_gray_E(ref, white_level, max_E, signal);
    return measured_E > expected ? measured_E - expected : expected - measured_E;
}
