// Colour science and its matrices: coordinates, the target's matrices,
// transfer functions, gamma estimators and the CIEDE2000 / delta E ITP
// differences, checked against published values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <string>

#include "color/color.h"
#include "color/eotf.h"
#include "color/matrix.h"
#include "color/reference.h"
#include "test_support.h"

namespace {

enum { POWER, BT1886, PQ, HLG };

color_block_t lab(float L, float a, float b)
{
    color_block_t c{};
    c.L = L, c.a = a, c.b = b;
    return c;
}

// A patch of the given signal whose measured XYZ is the D65 white scaled to Y.
color_t gray_patch(float signal, float Y)
{
    color_t p{};
    p.c.ts0 = p.c.ts1 = p.c.ts2 = signal;
    p.c.X = 0.312712f / 0.329008f * Y;
    p.c.Y = Y;
    p.c.Z = (1.0f - 0.312712f - 0.329008f) / 0.329008f * Y;
    return p;
}

mat3_t make(std::initializer_list<float> values)
{
    mat3_t m;
    auto it = values.begin();
    for (auto &row : m.m)
        for (float &e : row)
            e = *it++;
    return m;
}

// Checks that a * b is the identity.
void expect_inverse_pair(const mat3_t &a, const mat3_t &b, float tol)
{
    const mat3_t p = mul_matrix(a, b);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(p.m[i][j], i == j ? 1.0f : 0.0f, tol) << i << "," << j;
}

}  // namespace

TEST(Matrix, ProductAndInverse)
{
    const mat3_t a = make({1, 2, 3, 4, 5, 6, 7, 8, 9});
    const mat3_t aa = mul_matrix(a, a);
    EXPECT_EQ(aa.m[0][1], 36.0f);
    EXPECT_EQ(aa.m[2][0], 102.0f);
    const vec3_t sums = mul_matrix(a, vec3_t{{1, 1, 1}});  // row sums
    EXPECT_EQ(sums.v[0], 6.0f);
    EXPECT_EQ(sums.v[2], 24.0f);

    // Pivot rules: a zero first pivot needs a row exchange, equal-magnitude
    // candidates, a later column that needs pivoting, zeros below the diagonal.
    for (const mat3_t &m : {make({0, 1, 0, 1, 0, 0, 0, 0, 1}), make({1, 2, 0, -1, 3, 1, 1, 0, 2}),
                            make({1, 2, 3, 2, 4, 7, 5, 1, 0}), make({2, 1, 1, 0, 4, 1, 0, 0, 5})})
        expect_inverse_pair(m, get_inver_matrix(m), 1e-5f);
    // A singular matrix gives non-finite values without a message.
    mat3_t zinv;
    EXPECT_EQ(output_of([&] { zinv = get_inver_matrix(mat3_t{}); }), "");
    EXPECT_FALSE(std::isfinite(zinv.m[0][0]));
}

TEST(Coordinates, TargetMatricesMapRgbWhiteToTheWhitePoint)
{
    reference_t ref = make_target(REC709, POWER);
    const float rec709[3][3] = {{0.41243f, 0.35758f, 0.18046f},
                                {0.21266f, 0.71516f, 0.07219f},
                                {0.01933f, 0.11919f, 0.95045f}};
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(ref.RGB_to_XYZ.m[i][j], rec709[i][j], 5e-5f) << i << j;

    for (auto [standard, white] : {std::pair{DCI_P3, D65}, {BT2020, WHITE_E}, {REC709, D65}}) {
        ref = make_target(standard, POWER, 2.4f, white);
        const color_block_t &w = ref.white.color;  // completed at Y = 100
        const auto &m = ref.RGB_to_XYZ.m;
        SCOPED_TRACE(standard);
        EXPECT_NEAR(m[0][0] + m[0][1] + m[0][2], w.x / w.y, 2e-6f);
        EXPECT_NEAR(m[1][0] + m[1][1] + m[1][2], 1.0f, 2e-6f);
        EXPECT_NEAR(m[2][0] + m[2][1] + m[2][2], (1 - w.x - w.y) / w.y, 2e-6f);
        EXPECT_NEAR(w.X / 100.0f, w.x / w.y, 1e-5f);
        EXPECT_NEAR(w.Z / 100.0f, (1 - w.x - w.y) / w.y, 1e-5f);
        expect_inverse_pair(ref.RGB_to_XYZ, ref.XYZ_to_RGB, 1e-5f);
    }
}

TEST(Coordinates, SecondariesAndCielab)
{
    // Yellow is red plus green: the sum of the Rec.709 red and green XYZ.
    const reference_t ref = make_target(REC709, POWER);
    color_block_t r = ref.standard.red, g = ref.standard.green, b = ref.standard.blue, y{};
    r.Y = 0.2126f;
    g.Y = 0.7152f;
    update_secondary(ref, &y, &r, &g, &b);
    EXPECT_NEAR(y.x, 0.419314f, 1e-5f);
    EXPECT_NEAR(y.y, 0.505251f, 1e-5f);
    EXPECT_FLOAT_EQ(y.Y, 0.9278f);

    // A user white of 250 cd/m2 is the target white scaled; it is L* = 100 of itself.
    const color_block_t w = get_user_defined_white(ref, 250.0f).color;
    EXPECT_FLOAT_EQ(w.X, 2.5f * ref.white.color.X);
    color_block_t c = w;
    get_Lab_from_XYZ(&c, w);
    EXPECT_EQ((std::array{c.L, c.a, c.b}), (std::array{100.0f, 0.0f, 0.0f}));
    c = color_block_t{};
    c.Y = 0.004f * 250.0f;  // linear branch below the CIE threshold
    get_Lab_from_XYZ(&c, w);
    EXPECT_NEAR(c.L, 903.3f * 0.004f, 1e-3f);
}

TEST(TransferFunctions, PerceptualQuantizerAndHybridLogGamma)
{
    // Code values and luminances (cd/m2) of the SMPTE ST 2084 curve.
    const std::array<std::array<float, 2>, 8> pq{{{0.0f, 0.0f}, {0.1f, 0.32457f}, {0.5f, 92.2457f},
                                                  {0.508078f, 100.0f}, {0.751827f, 1000.0f}, {0.75f, 983.378f},
                                                  {0.9f, 3905.64f}, {1.0f, 10000.0f}}};
    for (auto [e, L] : pq) {
        SCOPED_TRACE(e);
        EXPECT_NEAR(get_ST2084_EOTF(e), L, L * 2e-5f);
        EXPECT_NEAR(get_ST2084_inver_EOTF(L), e, 2e-6f);
    }
    EXPECT_EQ(get_ST2084_EOTF(-0.2f), 0.0f);
    EXPECT_EQ(get_ST2084_inver_EOTF(25000.0f), get_ST2084_inver_EOTF(10000.0f));
    EXPECT_EQ(get_ST2084_inver_EOTF(-5.0f), get_ST2084_inver_EOTF(0.0f));

    EXPECT_FLOAT_EQ(get_HLG_inver_OETF(0.5f), 1.0f / 12.0f);
    EXPECT_EQ(get_HLG_inver_OETF(-0.1f), 0.0f);
    // A 1000 cd/m2 reference display shows 75 % HLG at about 203 cd/m2.
    reference_t ref = make_target(BT2020, HLG);
    ref.peak_lum = 1000.0f;
    color_block_t c{};
    c.ts0 = c.ts1 = c.ts2 = 0.75f;
    get_expect_HLG(ref, 1000.0f, 0.0f, &c);
    EXPECT_NEAR(c.Y, 203.0f, 0.5f);
    EXPECT_NEAR(c.x, 0.312712f, 1e-5f);
    // Without a peak luminance the measured white stands in, silently (the
    // evaluation of a job announces it) and without touching the target.
    ref.peak_lum = 0.0f;
    c.ts0 = c.ts1 = c.ts2 = 1.0f;
    EXPECT_EQ(output_of([&] { get_expect_HLG(ref, 600.0f, 0.1f, &c); }), "");
    EXPECT_NEAR(c.Y, 600.0f, 0.01f);
}

TEST(TransferFunctions, ExpectedColoursAndTrackingError)
{
    // PQ: a neutral signal is clipped at the display white, a colour is not.
    reference_t ref = make_target(BT2020, PQ);
    color_block_t c{};
    c.ts0 = c.ts1 = c.ts2 = get_ST2084_inver_EOTF(1000.0f);
    get_expect_ST2084(ref, 600.0f, 0.0f, &c);
    EXPECT_FLOAT_EQ(c.Y, 600.0f);
    c = color_block_t{};
    c.ts0 = get_ST2084_inver_EOTF(4000.0f);
    get_expect_ST2084(ref, 600.0f, 0.0f, &c);
    EXPECT_NEAR(c.Y, 4000.0f * 0.2627f, 0.5f);  // BT.2020 red luminance
    EXPECT_NEAR(c.x, 0.708f, 1e-4f);

    // Tracking error in PQ code values, either sign, clipped at the white.
    const float max_E = get_ST2084_inver_EOTF(600.0f);
    EXPECT_NEAR(get_diff_EOTF(ref, 600.0f, max_E, 0.4f, 0.35f), 0.05f, 1e-6f);
    EXPECT_NEAR(get_diff_EOTF(ref, 600.0f, max_E, 0.9f, max_E - 0.01f), 0.01f, 1e-6f);
    ref = make_target(BT2020, HLG);
    ref.peak_lum = 1000.0f;
    EXPECT_NEAR(get_diff_EOTF(ref, 1000.0f, 0.0f, 0.75f, get_ST2084_inver_EOTF(203.15f)), 0.0f, 1e-4f);
}

TEST(TransferFunctions, EveryEotfRowIsWhole)
{
    for (const eotf_row_t &row : eotf_table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(find_eotf(row.name), &row);
        EXPECT_EQ(find_eotf(row.id), &row);
        EXPECT_EQ(is_hdr(row.id), row.hdr);
        // An SDR report judges a gamma, an HDR report a delta E ITP.
        EXPECT_EQ(row.gamma != nullptr, !row.hdr);
        EXPECT_EQ(row.ictcp != nullptr, row.hdr);
        // The swatch codes are those of the signals the patches are matched to.
        for (int i = 0; i < CHECK_COUNT; ++i)
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_NEAR((*row.checker)[i][ch], (*row.checker_codes)[i][ch] / 255.0f, 1e-6f) << i;
        // Every curve shows the measured white at full signal.
        const reference_t ref = make_target(BT2020, row.id);
        color_block_t c{};
        c.ts0 = c.ts1 = c.ts2 = 1.0f;
        row.expect(ref, 100.0f, 0.0f, &c);
        EXPECT_NEAR(c.Y, 100.0f, 1e-3f);
        EXPECT_NEAR(get_expected_gray_E(ref, 100.0f, get_ST2084_inver_EOTF(100.0f), 1.0f),
                    get_ST2084_inver_EOTF(100.0f), 1e-5f);
    }
    EXPECT_EQ(find_eotf("pq"), nullptr);  // names are exact
    EXPECT_EQ(find_eotf(static_cast<eotf_t>(eotf_table.size())), nullptr);
    EXPECT_FALSE(is_hdr(static_cast<eotf_t>(-1)));
}

TEST(TransferFunctions, GammaEstimators)
{
    EXPECT_EQ(get_gamma_power(1.0f, 100.0f, 0.1f, 100.0f), 0.0f);  // the white itself
    EXPECT_EQ(get_gamma_power(0.5f, 100.0f, 0.5f, 0.4f), 0.0f);    // darker than black
    EXPECT_EQ(get_gamma_BT_1886(1.0f, 100.0f, 0.0f, 100.0f), 2.4f);
    EXPECT_NEAR(get_gamma_BT_1886(0.5f, 100.0f, 0.0f, 150.0f), std::log(1.5) / std::log(2.0), 1e-5);

    const float Lw = 150.0f, Lb = 0.3f;
    // BT.1886 display with a raised black: L = a (s + b)^2.4.
    const double k = std::pow(Lb, 1 / 2.4), a = std::pow(std::pow(Lw, 1 / 2.4) - k, 2.4),
                 b = k / (std::pow(Lw, 1 / 2.4) - k);
    for (float s : {0.05f, 0.25f, 0.5f, 0.95f}) {
        SCOPED_TRACE(s);
        for (float g : {2.2f, 2.6f}) {
            EXPECT_NEAR(get_gamma_power(s, Lw, Lb, Lb + (Lw - Lb) * std::pow(s, g)), g, 1e-3f);
            EXPECT_NEAR(get_gamma_BT_1886(s, Lw, 0.0f, Lw * std::pow(s, g)), g, 1e-3f);
        }
        EXPECT_NEAR(get_gamma_BT_1886(s, Lw, Lb, static_cast<float>(a * std::pow(s + b, 2.4))), 2.4f, 1e-3f);
    }
}

TEST(Differences, Ciede2000PublishedPairs)
{
    // Sharma, Wu and Dalal (2005), including the pairs across the hue seam
    // (mean hue +360 and -360); pairs exactly on it are left out since single
    // precision may take either side.
    const std::array<std::array<float, 7>, 12> pairs{{
        {50, 2.6772f, -79.7751f, 50, 0, -82.7485f, 2.0425f}, {50, 0, 0, 50, -1, 2, 2.3669f},
        {50, 2.49f, -0.001f, 50, -2.49f, 0.0009f, 7.1792f}, {50, 2.49f, -0.001f, 50, -2.49f, 0.0011f, 7.2195f},
        {50, -0.001f, 2.49f, 50, 0.0009f, -2.49f, 4.8045f}, {50, -0.001f, 2.49f, 50, 0.0011f, -2.49f, 4.7461f},
        {50, 2.5f, 0, 50, 0, -2.5f, 4.3065f}, {50, 2.5f, 0, 73, 25, -18, 27.1492f},
        {50, 2.5f, 0, 50, 3.2972f, 0, 1.0000f},
        {60.2574f, -34.0099f, 36.2677f, 60.4626f, -34.1751f, 39.4387f, 1.2644f},
        {90.9257f, -0.5406f, -0.9208f, 88.6381f, -0.8985f, -0.7239f, 1.5381f},
        {2.0776f, 0.0795f, -1.135f, 0.9033f, -0.0636f, -0.5514f, 0.9082f},
    }};
    for (const auto &p : pairs) {
        SCOPED_TRACE(p[6]);
        const color_block_t c1 = lab(p[0], p[1], p[2]), c2 = lab(p[3], p[4], p[5]);
        EXPECT_NEAR(get_dE2000_from_Lab(c1, c2), p[6], 6e-5f);
        EXPECT_NEAR(get_dE2000_from_Lab(c2, c1), p[6], 6e-5f);
    }
    EXPECT_EQ(get_dE2000_from_Lab(lab(40, 12, -7), lab(40, 12, -7)), 0.0f);
    EXPECT_EQ(get_dE2000_from_Lab(lab(45, 0, 0), lab(55, 0, 0)), 10.0f);
}

TEST(Differences, DeltaEItp)
{
    // ITP weights: T is half of Ct for PQ; HLG scales Ct and Cp.
    reference_t ref = make_target(BT2020, PQ);
    const float ct[3] = {0, 0.01f, 0}, cp[3] = {0, 0, 0.01f}, zero[3] = {0, 0, 0};
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(ref, ct, zero), 720.0f * 0.005f);
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(ref, cp, zero), 720.0f * 0.01f);
    ref.test_type = EOTF_HLG;
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(ref, ct, zero), 720.0f * 0.01f * 0.911849f);
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(ref, cp, zero), 720.0f * 0.01f * 1.887755f);

    // The D65 white at 100 cd/m2 is a neutral ICtCp at the PQ code of 100 cd/m2.
    const color_t white = gray_patch(1.0f, 100.0f);
    const float xyz[3] = {white.c.X, white.c.Y, white.c.Z};
    float ictcp[3];
    for (int type : {PQ, HLG}) {
        ref.test_type = static_cast<eotf_t>(type);
        get_ICtCp_from_XYZ(ref, xyz, ictcp);
        EXPECT_NEAR(ictcp[0], 0.5081f, 1e-4f);
        EXPECT_NEAR(ictcp[1], 0.0f, 3e-5f);
        EXPECT_NEAR(ictcp[2], 0.0f, 3e-5f);
    }

    ref.test_type = EOTF_PQ;
    color_t patch = gray_patch(0.5f, 80.0f);
    EXPECT_GT(get_color_HDR_dEITP(ref, 600.0f, 0.0f, &patch), 1.0f);
    output_of([&] { EXPECT_EQ(get_color_HDR_dEITP(ref, 600.0f, 0.0f, nullptr), DE_MISSING); });
}

TEST(Differences, IdealSdrDisplayScoresZero)
{
    // Rec.709 at 100 cd/m2 with gamma 2.2, measured with the published sRGB matrix.
    for (int type : {POWER, BT1886}) {
        const reference_t ref = make_target(REC709, type, 2.2f);
        color_t gray = gray_patch(0.5f, 0.05f + 99.95f * std::pow(0.5f, 2.2f));
        EXPECT_LT(get_color_dE2000(ref, 100.0f, 0.05f, &gray), 0.01f);
        EXPECT_NEAR(gray.c.L, 116 * std::cbrt(gray.c.Y / 100.0f) - 16, 1e-3f);  // written back
        color_t red{};
        red.c.ts0 = 1.0f;
        red.c.X = 41.24f, red.c.Y = 21.26f, red.c.Z = 1.93f;
        EXPECT_LT(get_color_dE2000(ref, 100.0f, 0.0f, &red), 0.05f);
    }
}
