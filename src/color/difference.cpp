// Colour science of the report: coordinates and conversions, transfer
// functions (power law, BT.1886, PQ, HLG), gamma estimation and colour
// differences (CIEDE2000, delta E ITP).
//
// Colour arithmetic is single precision. Where a step is done in double the
// operands are widened, the step is computed in double and the result is
// narrowed when it is stored; the casts below mark those places.
#include "color/color.h"

#include <cmath>
#include <cstdio>

#include "config/reference.h"

namespace {

constexpr double EPS = 1e-7;

// Degrees to radians as a single-precision factor, and the single-precision
// pi used for radians to degrees.
constexpr float DEG_TO_RAD = 0.017453294f;
constexpr double PI_F = static_cast<double>(3.141593f);

// 25^7, the CIEDE2000 chroma constant.
constexpr double POW25_7 = 6103515625.0;

// 1/4096, the scale of the integer LMS and ICtCp coefficients.
constexpr float Q12 = 0.000244140625f;

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

bool near_zero(float v) { return std::fabs(static_cast<double>(v)) < EPS; }

float clampf(float v, float lo, float hi)
{
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

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
    lms[0] = clampf(L, 0.0f, 10000.0f);
    lms[1] = clampf(M, 0.0f, 10000.0f);
    lms[2] = clampf(S, 0.0f, 10000.0f);
}

// A scratch block holding only the patch's test signal.
color_block_t signal_block(const color_block_t &patch)
{
    color_block_t s{};
    s.ts0 = patch.ts0;
    s.ts1 = patch.ts1;
    s.ts2 = patch.ts2;
    return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// Coordinates and conversions

void get_XYZ_from_xyY(color_block_t *c)
{
    if (c == nullptr) {
        puts("warning:color is NULL!");
        return;
    }
    if (near_zero(c->y)) {
        c->X = 0.0f;
        c->Y = 0.0f;
        c->Z = 0.0f;
        return;
    }
    c->X = c->x * c->Y / c->y;
    c->Z = static_cast<float>((1.0 - static_cast<double>(c->x) - static_cast<double>(c->y)) *
                              static_cast<double>(c->Y) / static_cast<double>(c->y));
}

void get_xyY_from_XYZ(color_block_t *c)
{
    if (c == nullptr) {
        puts("warning:color is NULL!");
        return;
    }
    const float s = c->X + c->Y + c->Z;
    if (s == 0.0f) {
        c->x = 0.0f;
        c->y = 0.0f;
        return;
    }
    c->x = c->X / s;
    c->y = c->Y / s;
}

void get_XYZ_from_RGB(const reference_t &ref, color_block_t *c)
{
    const vec3_t xyz = mul_matrix(ref.RGB_to_XYZ, vec3_t{{c->R, c->G, c->B}});
    c->X = xyz.v[0];
    c->Y = xyz.v[1];
    c->Z = xyz.v[2];
}

float Fratio(float t)
{
    if (static_cast<double>(t - 0.008856452f) > EPS)
        return static_cast<float>(std::pow(static_cast<double>(t), 0.3333333333333333));
    return static_cast<float>(7.787037 * static_cast<double>(t) + 0.137931);
}

void get_Lab_from_XYZ(color_block_t *c, color_block_t white)
{
    if (c == nullptr) {
        puts("warning:test is NULL!");
        return;
    }
    const float fX = Fratio(c->X / white.X);
    const float fY = Fratio(c->Y / white.Y);
    const float fZ = Fratio(c->Z / white.Z);
    c->L = static_cast<float>(116.0 * static_cast<double>(fY) - 16.0);
    c->a = (fX - fY) * 500.0f;
    c->b = (fY - fZ) * 200.0f;
}

white_t get_user_defined_white(const reference_t &ref, float luminance)
{
    white_t w{};
    const color_block_t &white = ref.white.color;
    const float k = luminance / white.Y;
    w.name = "user_defined";
    w.color.X = white.X * k;
    w.color.Y = luminance;
    w.color.Z = white.Z * k;
    w.cct = 0;
    return w;
}

mat3_t get_RGB_to_XYZ_matrix(const mat3_t &primaries, const vec3_t &white)
{
    // Scale each primary's column so that RGB (1, 1, 1) lands on the white
    // at Y = 1.
    const vec3_t s = mul_matrix(get_inver_matrix(primaries), white);
    const float Yw = white.v[1];
    mat3_t d;
    for (int i = 0; i < 3; i++)
        d.m[i][i] = s.v[i] / Yw;
    return mul_matrix(primaries, d);
}

mat3_t get_XYZ_to_RGB_matrix(const reference_t &ref)
{
    return get_inver_matrix(ref.RGB_to_XYZ);
}

void update_secondary(const reference_t &ref, color_block_t *out, const color_block_t *c1,
                      const color_block_t *c2, const color_block_t *c3)
{
    // The point of edge c1-c2 on the line through c3 and the white point.
    const float xW = ref.white.color.x;
    const float yW = ref.white.color.y;
    const float dx = c2->x - c1->x;
    const float dy = c2->y - c1->y;
    const float p = (xW - c1->x) / dx;
    const float q = (c3->x - xW) / (dx * (c3->y - yW));
    const float r = (c3->x - xW) * dy / (dx * (c3->y - yW));
    const float num = p + q * (c1->y - yW);
    const float t = static_cast<float>(static_cast<double>(num) / (1.0 - static_cast<double>(r)));
    out->x = c1->x + t * dx;
    out->y = c1->y + t * dy;
    out->Y = c1->Y + c2->Y;
    get_XYZ_from_xyY(out);
}

void print_xyY(const color_block_t *c)
{
    printf("color x = %f, y = %f, Y = %f\n", static_cast<double>(c->x), static_cast<double>(c->y),
           static_cast<double>(c->Y));
}

// ---------------------------------------------------------------------------
// Transfer functions

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
    const float lum = clampf(luminance, 0.0f, PQ_PEAK);
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

float get_HLG_EOTF(const reference_t &ref, float e, const float *ts, float bright, float dark)
{
    // A target without a peak luminance takes the measured white for it.
    const float peak = near_zero(ref.peak_lum) ? bright : ref.peak_lum;
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

float get_diff_EOTF(const reference_t &ref, float white_level, float max_E, float signal, float measured_E)
{
    float expected = 0.0f;
    color_block_t s{};
    s.ts0 = signal;
    s.ts1 = signal;
    s.ts2 = signal;
    switch (ref.test_type) {
    case EOTF_POWER:
    case EOTF_BT1886:
        get_expect(ref, white_level, 0.0f, &s);
        expected = get_ST2084_inver_EOTF(s.Y);
        break;
    case EOTF_HLG:
        get_expect_HLG(ref, white_level, 0.0f, &s);
        expected = get_ST2084_inver_EOTF(s.Y);
        break;
    case EOTF_PQ:
        // The PQ curve clipped at the display's white.
        expected = signal < max_E ? signal : max_E;
        break;
    default:
        printf("Error: %s\r\n", "get_diff_EOTF");
        return 0.0f;
    }
    return measured_E > expected ? measured_E - expected : expected - measured_E;
}

// ---------------------------------------------------------------------------
// Colour differences

float get_color_dE2000(const reference_t &ref, float bright, float dark, color_t *patch)
{
    if (patch == nullptr) {
        puts("warning:test is NULL!");
        return DE_MISSING;
    }
    color_block_t s = signal_block(patch->c);
    switch (ref.test_type) {
    case EOTF_POWER:
    case EOTF_BT1886:
        get_expect(ref, bright, dark, &s);
        break;
    case EOTF_PQ:
        get_expect_ST2084(ref, bright, dark, &s);
        break;
    case EOTF_HLG:
        get_expect_HLG(ref, bright, dark, &s);
        break;
    default:
        printf("[%s]: EOTF_type Error!!!\r\n", "get_color_dE2000");
        return 0.0f;
    }
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
    if (patch == nullptr) {
        puts("warning:test is NULL!");
        return DE_MISSING;
    }
    color_block_t s = signal_block(patch->c);
    switch (ref.test_type) {
    case EOTF_PQ:
        get_expect_ST2084(ref, bright, dark, &s);
        break;
    case EOTF_HLG:
        get_expect_HLG(ref, bright, dark, &s);
        break;
    default:
        printf("[%s]: EOTF_type Error!!!\r\n", "get_color_HDR_dEITP");
        return 0.0f;
    }
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
    switch (ref.test_type) {
    case EOTF_PQ:
        itp[0] = ictcp[0];
        itp[1] = 0.5f * ictcp[1];
        itp[2] = ictcp[2];
        break;
    case EOTF_HLG:
        itp[0] = ictcp[0];
        itp[1] = static_cast<float>(static_cast<double>(ictcp[1]) * 0.911849);
        itp[2] = static_cast<float>(static_cast<double>(ictcp[2]) * 1.887755);
        break;
    default:
        break;
    }
}

void get_LMS_from_XYZ(const float *xyz, float *lms)
{
    lms_from_XYZ(xyz, lms);
}

void get_ICtCp_from_XYZ(const reference_t &ref, const float *xyz, float *ictcp)
{
    float lms[3] = {0.0f, 0.0f, 0.0f};
    lms_from_XYZ(xyz, lms);
    const eotf_t type = ref.test_type;
    if (is_hdr(type)) {
        // The PQ curve is used for HLG targets too.
        for (float &v : lms)
            v = get_ST2084_inver_EOTF(v);
    }
    const double L = static_cast<double>(clampf(lms[0], 0.0f, 1.0f));
    const double M = static_cast<double>(clampf(lms[1], 0.0f, 1.0f));
    const double S = static_cast<double>(clampf(lms[2], 0.0f, 1.0f));
    constexpr double q12 = static_cast<double>(Q12);
    if (type == EOTF_PQ) {
        ictcp[0] = static_cast<float>(0.5 * L + 0.5 * M);
        ictcp[1] = static_cast<float>((6610.0 * L - 13613.0 * M + 7003.0 * S) * q12);
        ictcp[2] = static_cast<float>((17933.0 * L - 17390.0 * M - 543.0 * S) * q12);
    } else if (type == EOTF_HLG) {
        ictcp[0] = static_cast<float>(0.5 * L + 0.5 * M);
        ictcp[1] = static_cast<float>((3625.0 * L - 7465.0 * M + 3840.0 * S) * q12);
        ictcp[2] = static_cast<float>((9500.0 * L - 9212.0 * M - 288.0 * S) * q12);
    }
}
