// Colour differences: CIEDE2000 of CIELAB colours and ΔE ITP of ICtCp
// colours, each between a measured patch and its expected colour.
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

// Degrees to radians as a single-precision factor, and the single-precision
// pi used for radians to degrees.
constexpr float DEG_TO_RAD = 0.017453294f;
constexpr double PI_F = static_cast<double>(3.141593f);

// 25^7, the CIEDE2000 chroma constant.
constexpr double POW25_7 = 6103515625.0;

// 1/4096, the scale of the integer LMS and ICtCp coefficients.
constexpr float Q12 = 0.000244140625f;
// XYZ to LMS through linear BT.2020 RGB, each component held within 0 to 10000.
void lms_from_XYZ(const float *xyz, float *lms)
{
    const double X = static_cast<double>(xyz[0]);
    const double Y = static_cast<double>(xyz[1]);
    const double Z = static_cast<double>(xyz[2]);
    // XYZ to linear BT.2020 RGB.
    const float R =
        static_cast<float>(1.716651187971268 * X - 0.355670783776392 * Y - 0.25336628137366 * Z);
    const float G =
        static_cast<float>(-0.666684351832489 * X + 1.616481236634939 * Y + 0.015768545813911 * Z);
    const float B =
        static_cast<float>(0.017639857445311 * X - 0.042770613257809 * Y + 0.942103121235474 * Z);
    // BT.2100 RGB to LMS (coefficients in units of 1/4096), green term first.
    const float L = (2146.0f * G + 1688.0f * R + 262.0f * B) * Q12;
    const float M = (2951.0f * G + 683.0f * R + 462.0f * B) * Q12;
    const float S = (309.0f * G + 99.0f * R + 3688.0f * B) * Q12;
    lms[0] = std::clamp(L, 0.0f, 10000.0f);
    lms[1] = std::clamp(M, 0.0f, 10000.0f);
    lms[2] = std::clamp(S, 0.0f, 10000.0f);
}

// The expected colour of the patch's test signal under the target, into
// `expected`. False, with the result to give in `failed`, for no patch
// (DE_MISSING) and for an EOTF without a row or, with `itp`, without ICtCp
// weights (0, the error printed for `caller`).
bool expected_colour(const reference_t &ref, float bright, float dark, const color_t *patch, bool itp,
                     const char *caller, color_block_t *expected, float *failed)
{
    if (patch == nullptr) {
        puts("warning:test is NULL!");
        *failed = DE_MISSING;
        return false;
    }
    const eotf_row_t *row = find_eotf(ref.test_type);
    if (row == nullptr || (itp && row->ictcp == nullptr)) {
        printf("[%s]: EOTF_type Error!!!\r\n", caller);
        *failed = 0.0f;
        return false;
    }
    *expected = color_block_t{};
    expected->ts0 = patch->c.ts0;
    expected->ts1 = patch->c.ts1;
    expected->ts2 = patch->c.ts2;
    row->expect(ref, bright, dark, expected);
    return true;
}

}  // namespace

float get_color_dE2000(const reference_t &ref, float bright, float dark, color_t *patch)
{
    color_block_t s;
    float failed = 0.0f;
    if (!expected_colour(ref, bright, dark, patch, false, "get_color_dE2000", &s, &failed))
        return failed;
    return get_dE2000_from_XYZ_bright_Y(ref, &patch->c, &s, bright);
}

float get_dE2000_from_XYZ_bright_Y(const reference_t &ref, color_block_t *first, color_block_t *second, float Yu)
{
    if (first == nullptr || second == nullptr) {
        puts("warning:test is NULL!");
        return DE_MISSING;
    }
    const white_t w = get_user_defined_white(ref, Yu);
    get_Lab_from_XYZ(first, w.color);
    get_Lab_from_XYZ(second, w.color);
    return get_dE2000_from_Lab(*first, *second);
}

namespace {

// Hue angle in degrees, 0 .. 360; 0 for a neutral colour.
float hue_angle(float b, float a_prime)
{
    if (a_prime == 0.0f && b == 0.0f)
        return 0.0f;
    float h = static_cast<float>(std::atan2(static_cast<double>(b), static_cast<double>(a_prime)) *
                                 180.0 / PI_F);
    if (h < 0.0f)
        h += 360.0f;
    return h;
}

double cos_deg(float deg) { return std::cos(static_cast<double>(deg * DEG_TO_RAD)); }

}  // namespace

float get_dE2000_from_Lab(color_block_t first, color_block_t second)
{
    const float L1 = first.L, a1 = first.a, b1 = first.b;
    const float L2 = second.L, a2 = second.a, b2 = second.b;

    const float C1 = sqrtf(a1 * a1 + b1 * b1);
    const float C2 = sqrtf(a2 * a2 + b2 * b2);
    const float Cbar = (C1 + C2) * 0.5f;

    const double Cbar7 = std::pow(static_cast<double>(Cbar), 7.0);
    const float G = static_cast<float>(0.5 * (1.0 - std::sqrt(Cbar7 / (Cbar7 + POW25_7))));

    const float a1p = (1.0f + G) * a1;
    const float a2p = (1.0f + G) * a2;
    const float C1p = sqrtf(a1p * a1p + b1 * b1);
    const float C2p = sqrtf(a2p * a2p + b2 * b2);

    const float h1p = hue_angle(b1, a1p);
    const float h2p = hue_angle(b2, a2p);

    const float Lbar = (L1 + L2) * 0.5f;
    const float dLp = L2 - L1;
    const float Cbarp = (C1p + C2p) * 0.5f;
    const float dCp = C2p - C1p;

    float dHp = 0.0f;
    float hbarp = 0.0f;
    if (C1p * C2p == 0.0f) {
        hbarp = h1p + h2p;
    } else {
        float dhp = 0.0f;
        if (std::fabs(h1p - h2p) <= 180.0f) {
            dhp = h2p - h1p;
            hbarp = (h1p + h2p) * 0.5f;
        } else {
            dhp = (h2p - h1p > 180.0f) ? h2p - h1p - 360.0f : h2p - h1p + 360.0f;
            hbarp = (h1p + h2p >= 360.0f) ? (h1p + h2p - 360.0f) * 0.5f
                                           : (h1p + h2p + 360.0f) * 0.5f;
        }
        dHp = static_cast<float>(2.0 *
                                 std::sqrt(static_cast<double>(C1p) * static_cast<double>(C2p)) *
                                 std::sin(static_cast<double>(dhp * DEG_TO_RAD * 0.5f)));
    }

    const float T = static_cast<float>(1.0 - 0.17 * cos_deg(hbarp - 30.0f) +
                                       0.24 * cos_deg(2.0f * hbarp) +
                                       0.32 * cos_deg(3.0f * hbarp + 6.0f) -
                                       0.2 * cos_deg(4.0f * hbarp - 63.0f));

    const float dL50 = Lbar - 50.0f;
    const float dL50sq_20 = 20.0f + dL50 * dL50;
    const double dL50d = static_cast<double>(dL50);
    const float SL = static_cast<float>(1.0 + 0.015 * dL50d * dL50d /
                                                  std::sqrt(static_cast<double>(dL50sq_20)));
    const float SC = static_cast<float>(1.0 + 0.045 * static_cast<double>(Cbarp));
    const float SH =
        static_cast<float>(1.0 + 0.015 * static_cast<double>(Cbarp) * static_cast<double>(T));

    const double x = (static_cast<double>(hbarp) - 275.0) / 25.0;
    const double Cbarp7 = std::pow(static_cast<double>(Cbarp), 7.0);
    const double RC = std::sqrt(Cbarp7 / (Cbarp7 + POW25_7));
    const float RT = static_cast<float>(
        -2.0 * RC * std::sin(60.0 * std::exp(-x * x) * static_cast<double>(DEG_TO_RAD)));

    const double qL = static_cast<double>(dLp / SL);
    const double qC = static_cast<double>(dCp / SC);
    const double qH = static_cast<double>(dHp / SH);
    const double qR = static_cast<double>(RT * dCp * dHp / (SC * SH));
    return static_cast<float>(std::sqrt(qL * qL + qC * qC + qH * qH + qR));
}

float get_color_HDR_dEITP(const reference_t &ref, float bright, float dark, color_t *patch)
{
    color_block_t s;
    float failed = 0.0f;
    if (!expected_colour(ref, bright, dark, patch, true, "get_color_HDR_dEITP", &s, &failed))
        return failed;
    const float measured[3] = {patch->c.X, patch->c.Y, patch->c.Z};
    const float expected[3] = {s.X, s.Y, s.Z};
    return get_dEITP_from_XYZ(ref, measured, expected);
}

float get_color_HDR_dEICTCP_240(const reference_t &ref, float bright, float dark, color_t *patch)
{
    return get_color_HDR_dEITP(ref, bright, dark, patch) / 3.0f;
}

float get_dEITP_from_XYZ(const reference_t &ref, const float *xyz1, const float *xyz2)
{
    float ictcp1[3] = {0.0f, 0.0f, 0.0f};
    float ictcp2[3] = {0.0f, 0.0f, 0.0f};
    get_ICtCp_from_XYZ(ref, xyz1, ictcp1);
    get_ICtCp_from_XYZ(ref, xyz2, ictcp2);
    return get_dEITP_from_ICtCp(ref, ictcp1, ictcp2);
}

float get_dEITP_from_ICtCp(const reference_t &ref, const float *ictcp1, const float *ictcp2)
{
    float itp1[3] = {0.0f, 0.0f, 0.0f};
    float itp2[3] = {0.0f, 0.0f, 0.0f};
    get_ITP_from_ICtCp(ref, ictcp1, itp1);
    get_ITP_from_ICtCp(ref, ictcp2, itp2);
    const double dI = static_cast<double>(itp1[0] - itp2[0]);
    const double dT = static_cast<double>(itp1[1] - itp2[1]);
    const double dP = static_cast<double>(itp1[2] - itp2[2]);
    return static_cast<float>(720.0 * std::sqrt(dI * dI + dT * dT + dP * dP));
}

void get_ITP_from_ICtCp(const reference_t &ref, const float *ictcp, float *itp)
{
    const eotf_row_t *row = find_eotf(ref.test_type);
    if (row == nullptr || row->ictcp == nullptr)
        return;
    itp[0] = ictcp[0];
    itp[1] = static_cast<float>(static_cast<double>(ictcp[1]) * row->ictcp->T_scale);
    itp[2] = static_cast<float>(static_cast<double>(ictcp[2]) * row->ictcp->P_scale);
}

void get_LMS_from_XYZ(const float *xyz, float *lms)
{
    lms_from_XYZ(xyz, lms);
}

void get_ICtCp_from_XYZ(const reference_t &ref, const float *xyz, float *ictcp)
{
    const eotf_row_t *row = find_eotf(ref.test_type);
    if (row == nullptr || row->ictcp == nullptr)
        return;
    const ictcp_weights_t &w = *row->ictcp;
    float lms[3] = {0.0f, 0.0f, 0.0f};
    lms_from_XYZ(xyz, lms);
    // The PQ curve is used for HLG targets too.
    for (float &v : lms)
        v = get_ST2084_inver_EOTF(v);
    const double L = static_cast<double>(std::clamp(lms[0], 0.0f, 1.0f));
    const double M = static_cast<double>(std::clamp(lms[1], 0.0f, 1.0f));
    const double S = static_cast<double>(std::clamp(lms[2], 0.0f, 1.0f));
    constexpr double q12 = static_cast<double>(Q12);
    ictcp[0] = static_cast<float>(0.5 * L + 0.5 * M);
    ictcp[1] = static_cast<float>((w.Ct[0] * L + w.Ct[1] * M + w.Ct[2] * S) * q12);
    ictcp[2] = static_cast<float>((w.Cp[0] * L + w.Cp[1] * M + w.Cp[2] * S) * q12);
}
