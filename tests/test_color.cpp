// Colour science: coordinates, transfer functions, gamma estimators and the
// CIEDE2000 / delta E ITP differences, checked against published values and
// against an ideal display built independently of the code under test.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "color/color.h"
#include "config/reference.h"

namespace {

enum { EBU, SMPTE_C, REC709, BT2020, NTSC, DCI_P3 };
enum { D65 = 5 };
enum { POWER, BT1886, PQ, HLG };

// A fresh reference record for the given target, its matrices built.
void use_target(int standard, int type, float gamma = 2.4f, int white = D65)
{
    init_reference();
    reference->standard = standard_type[standard];
    reference->white = white_type[white];
    reference->test_type = type;
    reference->gamma = gamma;
    testing::internal::CaptureStdout();
    init_ref_matrix();
    testing::internal::GetCapturedStdout();
}

color_block_t lab(float L, float a, float b)
{
    color_block_t c{};
    c.L = L;
    c.a = a;
    c.b = b;
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

// Textbook CIEDE2000 in double precision (Sharma, Wu and Dalal, 2005).
double ciede2000(double L1, double a1, double b1, double L2, double a2, double b2)
{
    const double rad = M_PI / 180.0;
    const double Cb = (std::hypot(a1, b1) + std::hypot(a2, b2)) / 2;
    const double G = 0.5 * (1 - std::sqrt(std::pow(Cb, 7) / (std::pow(Cb, 7) + std::pow(25.0, 7))));
    const double ap1 = (1 + G) * a1, ap2 = (1 + G) * a2;
    const double C1 = std::hypot(ap1, b1), C2 = std::hypot(ap2, b2);
    auto hue = [](double b, double a) {
        double h = (a == 0 && b == 0) ? 0 : std::atan2(b, a) * 180 / M_PI;
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(b1, ap1), h2 = hue(b2, ap2);
    double dh = 0, hb = h1 + h2;
    if (C1 * C2 != 0) {
        dh = h2 - h1;
        if (dh > 180)
            dh -= 360;
        else if (dh < -180)
            dh += 360;
        hb = std::fabs(h1 - h2) <= 180 ? (h1 + h2) / 2
             : h1 + h2 < 360          ? (h1 + h2 + 360) / 2
                                      : (h1 + h2 - 360) / 2;
    }
    const double dH = 2 * std::sqrt(C1 * C2) * std::sin(dh / 2 * rad);
    const double Lb = (L1 + L2) / 2, Cpb = (C1 + C2) / 2;
    const double T = 1 - 0.17 * std::cos((hb - 30) * rad) + 0.24 * std::cos(2 * hb * rad) +
                     0.32 * std::cos((3 * hb + 6) * rad) - 0.2 * std::cos((4 * hb - 63) * rad);
    const double SL = 1 + 0.015 * (Lb - 50) * (Lb - 50) / std::sqrt(20 + (Lb - 50) * (Lb - 50));
    const double SC = 1 + 0.045 * Cpb, SH = 1 + 0.015 * Cpb * T;
    const double RT = -2 * std::sqrt(std::pow(Cpb, 7) / (std::pow(Cpb, 7) + std::pow(25.0, 7))) *
                      std::sin(60 * std::exp(-std::pow((hb - 275) / 25, 2)) * rad);
    const double l = (L2 - L1) / SL, c = (C2 - C1) / SC, h = dH / SH;
    return std::sqrt(l * l + c * c + h * h + RT * c * h);
}

// SMPTE ST 2084 EOTF in double precision.
double pq_eotf(double e)
{
    const double m1 = 2610.0 / 16384, m2 = 2523.0 / 4096 * 128;
    const double c1 = 3424.0 / 4096, c2 = 2413.0 / 4096 * 32, c3 = 2392.0 / 4096 * 32;
    const double p = std::pow(e, 1 / m2);
    return 10000 * std::pow(std::max(p - c1, 0.0) / (c2 - c3 * p), 1 / m1);
}

}  // namespace

TEST(Coordinates, XyYAndXYZ)
{
    color_block_t c{};
    c.x = 0.3f;
    c.y = 0.6f;
    c.Y = 30.0f;
    get_XYZ_from_xyY(&c);
    EXPECT_FLOAT_EQ(c.X, 15.0f);
    EXPECT_FLOAT_EQ(c.Z, 5.0f);
    get_xyY_from_XYZ(&c);
    EXPECT_FLOAT_EQ(c.x, 0.3f);
    EXPECT_FLOAT_EQ(c.y, 0.6f);

    c.y = 5e-8f;  // below the zero tolerance: Y is cleared too
    get_XYZ_from_xyY(&c);
    EXPECT_EQ(c.X, 0.0f);
    EXPECT_EQ(c.Y, 0.0f);
    EXPECT_EQ(c.Z, 0.0f);
    get_xyY_from_XYZ(&c);
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);

    testing::internal::CaptureStdout();
    get_XYZ_from_xyY(nullptr);
    get_xyY_from_XYZ(nullptr);
    get_Lab_from_XYZ(nullptr, c);
    get_XYZ_from_RGB(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "warning:color is NULL!\nwarning:color is NULL!\nwarning:test is NULL!\n"
              "warning:color or reference is NULL!\n");
}

TEST(Coordinates, Rec709MatrixAndSecondaries)
{
    use_target(REC709, POWER);
    const float expect[3][3] = {{0.41243f, 0.35758f, 0.18046f},
                                {0.21266f, 0.71516f, 0.07219f},
                                {0.01933f, 0.11919f, 0.95045f}};
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(reference->RGB_to_XYZ.data[i][j], expect[i][j], 5e-5f) << i << j;

    const color_block_t &w = reference->white.color;
    // Yellow lies on the red-green edge, on the line from blue through white.
    color_block_t r = reference->standard.red, g = reference->standard.green,
                  b = reference->standard.blue, y{};
    r.Y = 0.2126f;
    g.Y = 0.7152f;
    get_XYZ_from_xyY(&r);
    update_secondary(&y, &r, &g, &b);
    auto cross = [](const color_block_t &o, const color_block_t &p, const color_block_t &q) {
        return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x);
    };
    EXPECT_NEAR(cross(r, g, y), 0.0f, 1e-6f);
    EXPECT_NEAR(cross(b, w, y), 0.0f, 1e-6f);
    EXPECT_NEAR(y.x, 0.4193f, 1e-4f);
    EXPECT_FLOAT_EQ(y.Y, 0.9278f);
    EXPECT_FLOAT_EQ(y.X, y.x * y.Y / y.y);

    testing::internal::CaptureStdout();
    print_xyY(&y);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "color x = 0.419314, y = 0.505251, Y = 0.927800\n");
}

TEST(Coordinates, Cielab)
{
    use_target(DCI_P3, POWER);
    EXPECT_FLOAT_EQ(Fratio(0.008856452f), 7.787037f * 0.008856452f + 0.137931f);  // linear branch
    EXPECT_FLOAT_EQ(Fratio(0.5f), std::cbrt(0.5f));

    const color_block_t w = get_user_defined_white(250.0f).color;
    EXPECT_STREQ(get_user_defined_white(250.0f).name, "user_defined");
    EXPECT_FLOAT_EQ(w.X, 2.5f * reference->white.color.X);
    EXPECT_EQ(w.Y, 250.0f);
    EXPECT_FLOAT_EQ(w.Z, 2.5f * reference->white.color.Z);

    color_block_t c = w;
    get_Lab_from_XYZ(&c, w);
    EXPECT_FLOAT_EQ(c.L, 100.0f);
    EXPECT_EQ(c.a, 0.0f);
    EXPECT_EQ(c.b, 0.0f);
    color_block_t black{};
    get_Lab_from_XYZ(&black, w);
    EXPECT_NEAR(black.L, -0.0000035f, 2e-7f);

    reference_t *saved = reference;
    reference = nullptr;
    testing::internal::CaptureStdout();
    const white_t none = get_user_defined_white(100.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "warning:reference is NULL!\n");
    EXPECT_EQ(none.name, nullptr);
    EXPECT_EQ(none.color.X, 0.0f);
    reference = saved;
}

TEST(TransferFunctions, PerceptualQuantizer)
{
    EXPECT_EQ(get_ST2084_EOTF(1.0f), 10000.0f);
    EXPECT_EQ(get_ST2084_EOTF(0.0f), 0.0f);
    EXPECT_EQ(get_ST2084_EOTF(-0.2f), 0.0f);
    EXPECT_NEAR(get_ST2084_inver_EOTF(10000.0f), 1.0f, 1e-6f);
    EXPECT_EQ(get_ST2084_inver_EOTF(25000.0f), get_ST2084_inver_EOTF(10000.0f));
    EXPECT_EQ(get_ST2084_inver_EOTF(-5.0f), get_ST2084_inver_EOTF(0.0f));
    EXPECT_NEAR(get_ST2084_inver_EOTF(100.0f), 0.5081f, 1e-4f);
    EXPECT_NEAR(get_ST2084_inver_EOTF(1000.0f), 0.7518f, 1e-4f);
    for (float e : {0.1f, 0.3f, 0.5f, 0.7518f, 0.9f}) {
        EXPECT_NEAR(get_ST2084_EOTF(e), pq_eotf(e), pq_eotf(e) * 1e-5) << e;
        EXPECT_NEAR(get_ST2084_inver_EOTF(get_ST2084_EOTF(e)), e, 1e-5f) << e;
    }
}

TEST(TransferFunctions, HybridLogGamma)
{
    EXPECT_FLOAT_EQ(get_HLG_inver_OETF(0.5f), 1.0f / 12.0f);
    EXPECT_NEAR(get_HLG_inver_OETF(1.0f), 1.0f, 1e-6f);
    EXPECT_EQ(get_HLG_inver_OETF(-0.1f), 0.0f);
    const float rgb[3] = {0.5f, 0.5f, 0.5f};
    EXPECT_EQ(get_HLG_OOTF(0.0f, rgb, 1.2f, 1000.0f, 0.05f), 0.05f);
    EXPECT_EQ(get_HLG_OOTF(0.5f, rgb, 1.2f, 0.0f, 0.05f), 0.05f);

    // A 1000 cd/m2 reference display shows 75 % HLG at about 203 cd/m2.
    use_target(BT2020, HLG);
    reference->peak_lum = 1000.0f;
    color_block_t c{};
    c.ts0 = c.ts1 = c.ts2 = 0.75f;
    get_expect_HLG(1000.0f, 0.0f, &c);
    EXPECT_NEAR(c.Y, 203.0f, 0.5f);
    EXPECT_NEAR(c.x, 0.312712f, 1e-5f);
    c.ts0 = c.ts1 = c.ts2 = 1.0f;
    get_expect_HLG(1000.0f, 0.0f, &c);
    EXPECT_NEAR(c.Y, 1000.0f, 0.01f);

    // Without -lum the measured white stands in for the peak, announced once.
    reference->peak_lum = 0.0f;
    testing::internal::CaptureStdout();
    get_expect_HLG(600.0f, 0.1f, &c);
    get_expect_HLG(600.0f, 0.1f, &c);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Error: get_HLG_EOTF, peak_lum == 0, gamma error!\r\n");
    EXPECT_EQ(reference->peak_lum, 600.0f);
    EXPECT_NEAR(c.Y, 600.0f, 0.01f);
}

TEST(TransferFunctions, ExpectedColours)
{
    use_target(REC709, POWER, 2.4f);
    color_block_t c{};
    get_expect(120.0f, 0.2f, &c);  // black: the dark level at the white point
    EXPECT_FLOAT_EQ(c.Y, 0.2f);
    EXPECT_FLOAT_EQ(c.x, 0.312712f);
    EXPECT_FLOAT_EQ(c.y, 0.329008f);
    c.ts0 = c.ts1 = c.ts2 = 0.5f;
    get_expect(120.0f, 0.2f, &c);
    EXPECT_NEAR(c.Y, 0.2f + 119.8f * std::pow(0.5f, 2.4f), 1e-3f);
    EXPECT_NEAR(c.y, 0.329008f, 1e-6f);

    // PQ: a neutral signal is clipped at the display white, a colour is not.
    use_target(BT2020, PQ);
    c = color_block_t{};
    c.ts0 = c.ts1 = c.ts2 = get_ST2084_inver_EOTF(1000.0f);
    get_expect_ST2084(600.0f, 0.0f, &c);
    EXPECT_FLOAT_EQ(c.Y, 600.0f);
    c = color_block_t{};
    c.ts0 = get_ST2084_inver_EOTF(4000.0f);
    get_expect_ST2084(600.0f, 0.0f, &c);
    EXPECT_NEAR(c.Y, 4000.0f * reference->RGB_to_XYZ.data[1][0], 0.5f);
    EXPECT_GT(c.Y, 600.0f);
    EXPECT_NEAR(c.x, 0.708f, 1e-4f);
}

TEST(TransferFunctions, GammaEstimators)
{
    EXPECT_EQ(get_gamma_power(1.0f, 100.0f, 0.1f, 100.0f), 0.0f);  // the white itself
    EXPECT_EQ(get_gamma_power(0.5f, 100.0f, 0.5f, 0.4f), 0.0f);    // darker than black
    EXPECT_EQ(get_gamma_power(0.5f, 100.0f, 0.5f, 0.5f), 0.0f);
    EXPECT_EQ(get_gamma_power(0.5f, 0.0f, 0.0f, 10.0f), 0.0f);
    EXPECT_EQ(get_gamma_BT_1886(0.5f, 0.0f, 0.0f, 10.0f), 0.0f);
    EXPECT_EQ(get_gamma_BT_1886(1.0f, 100.0f, 0.0f, 100.0f), 2.4f);
    // Brighter than the white: ln(1.5) / ln(0.5) made positive.
    EXPECT_NEAR(get_gamma_BT_1886(0.5f, 100.0f, 0.0f, 150.0f), std::log(1.5) / std::log(2.0), 1e-5);

    const float Lw = 150.0f, Lb = 0.3f;
    for (float target : {2.2f, 2.4f, 2.6f}) {
        for (float s : {0.1f, 0.25f, 0.5f, 0.9f}) {
            const float L = Lb + (Lw - Lb) * std::pow(s, target);
            EXPECT_NEAR(get_gamma_power(s, Lw, Lb, L), target, 1e-3f) << s;
            // BT.1886 with black 0 is the plain power law.
            const float L0 = Lw * std::pow(s, target);
            EXPECT_NEAR(get_gamma_BT_1886(s, Lw, 0.0f, L0), target, 1e-3f) << s;
        }
    }
    // An ideal BT.1886 display with a raised black.
    const double w = std::pow(Lw, 1 / 2.4), k = std::pow(Lb, 1 / 2.4);
    const double A = std::pow(w - k, 2.4), B = k / (w - k);
    for (float s : {0.05f, 0.3f, 0.6f, 0.95f})
        EXPECT_NEAR(get_gamma_BT_1886(s, Lw, Lb, static_cast<float>(A * std::pow(s + B, 2.4))), 2.4f,
                    1e-3f)
            << s;
}

TEST(TransferFunctions, EotfTrackingError)
{
    use_target(BT2020, PQ);
    reference->white_level = 600.0f;
    reference->max_E = get_ST2084_inver_EOTF(600.0f);
    EXPECT_NEAR(get_diff_EOTF(0.4f, 0.45f), 0.05f, 1e-6f);
    EXPECT_NEAR(get_diff_EOTF(0.4f, 0.35f), 0.05f, 1e-6f);
    EXPECT_NEAR(get_diff_EOTF(0.9f, reference->max_E - 0.01f), 0.01f, 1e-6f);  // clipped at white

    use_target(REC709, POWER, 2.2f);
    reference->white_level = 100.0f;
    const float e = get_ST2084_inver_EOTF(100.0f * std::pow(0.5f, 2.2f));
    EXPECT_NEAR(get_diff_EOTF(0.5f, e + 0.02f), 0.02f, 1e-5f);

    use_target(BT2020, HLG);
    reference->white_level = 1000.0f;
    reference->peak_lum = 1000.0f;
    EXPECT_NEAR(get_diff_EOTF(0.75f, get_ST2084_inver_EOTF(203.15f)), 0.0f, 1e-4f);

    reference->test_type = 7;
    testing::internal::CaptureStdout();
    EXPECT_EQ(get_diff_EOTF(0.5f, 0.5f), 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: get_diff_EOTF\r\n");
}

TEST(Differences, Ciede2000PublishedPairs)
{
    // Sharma, Wu and Dalal (2005); pairs lying exactly on the hue seam are
    // left out since single precision may take either side.
    struct pair_t {
        float L1, a1, b1, L2, a2, b2, dE;
    };
    const pair_t pairs[] = {
        {50, 2.6772f, -79.7751f, 50, 0, -82.7485f, 2.0425f},
        {50, 0, 0, 50, -1, 2, 2.3669f},
        {50, 2.49f, -0.001f, 50, -2.49f, 0.0009f, 7.1792f},
        {50, 2.49f, -0.001f, 50, -2.49f, 0.0011f, 7.2195f},
        {50, -0.001f, 2.49f, 50, 0.0011f, -2.49f, 4.7461f},
        {50, 2.5f, 0, 50, 0, -2.5f, 4.3065f},
        {50, 2.5f, 0, 73, 25, -18, 27.1492f},
        {50, 2.5f, 0, 50, 3.2972f, 0, 1.0000f},
        {60.2574f, -34.0099f, 36.2677f, 60.4626f, -34.1751f, 39.4387f, 1.2644f},
        {90.9257f, -0.5406f, -0.9208f, 88.6381f, -0.8985f, -0.7239f, 1.5381f},
        {2.0776f, 0.0795f, -1.135f, 0.9033f, -0.0636f, -0.5514f, 0.9082f},
    };
    for (const pair_t &p : pairs) {
        const color_block_t c1 = lab(p.L1, p.a1, p.b1), c2 = lab(p.L2, p.a2, p.b2);
        EXPECT_NEAR(get_dE2000_from_Lab(c1, c2), p.dE, 6e-5f) << p.L1 << " " << p.a1 << " " << p.b1;
        EXPECT_NEAR(get_dE2000_from_Lab(c2, c1), p.dE, 6e-5f) << p.L1 << " " << p.a1 << " " << p.b1;
    }
    EXPECT_EQ(get_dE2000_from_Lab(lab(40, 12, -7), lab(40, 12, -7)), 0.0f);
    EXPECT_EQ(get_dE2000_from_Lab(lab(45, 0, 0), lab(55, 0, 0)), 10.0f);
}

TEST(Differences, Ciede2000HueBranches)
{
    // Hue pairs on both sides of the 180 degree gap and of the 360 degree
    // sum, in both orders, against the double-precision formula.
    const float hues[][2] = {{10, 189}, {10, 190.5f}, {10, 200}, {350, 165},
                             {350, 175}, {90, 271}, {0, 179}, {300, 100}};
    const double rad = M_PI / 180.0;
    for (const auto &h : hues) {
        for (float C : {3.0f, 30.0f}) {
            const float a1 = C * std::cos(h[0] * rad), b1 = C * std::sin(h[0] * rad);
            const float a2 = 1.3f * C * std::cos(h[1] * rad), b2 = 1.3f * C * std::sin(h[1] * rad);
            EXPECT_NEAR(get_dE2000_from_Lab(lab(50, a1, b1), lab(62, a2, b2)),
                        ciede2000(50, a1, b1, 62, a2, b2), 2e-4)
                << h[0] << " " << h[1] << " C " << C;
            EXPECT_NEAR(get_dE2000_from_Lab(lab(62, a2, b2), lab(50, a1, b1)),
                        ciede2000(62, a2, b2, 50, a1, b1), 2e-4)
                << h[1] << " " << h[0] << " C " << C;
        }
    }
}

TEST(Differences, DeltaEItp)
{
    use_target(BT2020, PQ);
    const float ct[3] = {0, 0.01f, 0}, cp[3] = {0, 0, 0.01f}, zero[3] = {0, 0, 0};
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(ct, zero), 720.0f * 0.005f);
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(cp, zero), 720.0f * 0.01f);
    reference->test_type = HLG;
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(ct, zero), 720.0f * 0.01f * 0.911849f);
    EXPECT_FLOAT_EQ(get_dEITP_from_ICtCp(cp, zero), 720.0f * 0.01f * 1.887755f);

    // The D65 white at 100 cd/m2 is LMS (100, 100, 100) and a neutral ICtCp.
    reference->test_type = PQ;
    const float white[3] = {0.312712f / 0.329008f * 100, 100, (1 - 0.312712f - 0.329008f) / 0.329008f * 100};
    float lms[3], ictcp[3];
    get_LMS_from_XYZ(white, lms);
    for (float v : lms)
        EXPECT_NEAR(v, 100.0f, 0.01f);
    get_ICtCp_from_XYZ(white, ictcp);
    EXPECT_NEAR(ictcp[0], 0.5081f, 1e-4f);
    EXPECT_NEAR(ictcp[1], 0.0f, 3e-5f);
    EXPECT_NEAR(ictcp[2], 0.0f, 3e-5f);
    EXPECT_EQ(get_dEITP_from_XYZ(white, white), 0.0f);
    reference->test_type = HLG;
    get_ICtCp_from_XYZ(white, ictcp);
    EXPECT_NEAR(ictcp[0], 0.5081f, 1e-4f);
    EXPECT_NEAR(ictcp[1], 0.0f, 3e-5f);
    EXPECT_NEAR(ictcp[2], 0.0f, 3e-5f);
    reference->test_type = PQ;

    color_t patch = gray_patch(0.5f, 80.0f);
    const float itp = get_color_HDR_dEITP(600.0f, 0.0f, &patch);
    EXPECT_GT(itp, 1.0f);
    EXPECT_EQ(get_color_HDR_dEICTCP_240(600.0f, 0.0f, &patch), itp / 3.0f);

    testing::internal::CaptureStdout();
    EXPECT_EQ(get_color_HDR_dEITP(600.0f, 0.0f, nullptr), -9999.99f);
    EXPECT_FLOAT_EQ(get_color_HDR_dEICTCP_240(600.0f, 0.0f, nullptr), -3333.33f);
    reference->test_type = BT1886;
    EXPECT_EQ(get_color_HDR_dEITP(600.0f, 0.0f, &patch), 0.0f);
    reference->test_type = 9;
    EXPECT_EQ(get_color_dE2000(600.0f, 0.0f, &patch), 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "warning:test is NULL!\nwarning:test is NULL!\n"
              "[get_color_HDR_dEITP]: EOTF_type Error!!!\r\n"
              "[get_color_dE2000]: EOTF_type Error!!!\r\n");

    reference_t *saved = reference;
    reference = nullptr;
    float untouched[3] = {7, 7, 7};
    testing::internal::CaptureStdout();
    get_ICtCp_from_XYZ(white, untouched);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "warning:color or reference is NULL!\n");
    EXPECT_EQ(untouched[0], 7.0f);
    reference = saved;
}

TEST(Differences, IdealDisplayScoresZero)
{
    // SDR: Rec.709 at 100 cd/m2, measured with the published sRGB matrix.
    for (int type : {POWER, BT1886}) {
        use_target(REC709, type, 2.2f);
        color_t gray = gray_patch(0.5f, 0.05f + 99.95f * std::pow(0.5f, 2.2f));
        EXPECT_LT(get_color_dE2000(100.0f, 0.05f, &gray), 0.01f);
        EXPECT_NEAR(gray.c.L, 116 * std::cbrt(gray.c.Y / 100.0f) - 16, 1e-3f);  // written back
        EXPECT_NEAR(get_gamma_power(0.5f, 100.0f, 0.05f, gray.c.Y), 2.2f, 1e-3f);

        color_t red{};
        red.c.ts0 = 1.0f;
        red.c.X = 41.24f;
        red.c.Y = 21.26f;
        red.c.Z = 1.93f;
        EXPECT_LT(get_color_dE2000(100.0f, 0.0f, &red), 0.05f);
    }

    // PQ: a display tracking the curve up to its 600 cd/m2 white. One ulp of
    // luminance can move the single-precision PQ codes by a few 1e-6, which
    // is a few 0.001 of delta E ITP.
    use_target(BT2020, PQ);
    for (float s : {0.1f, 0.4f, 0.6f, 0.9f}) {
        color_t p = gray_patch(s, static_cast<float>(std::min(pq_eotf(s), 600.0)));
        EXPECT_LT(get_color_dE2000(600.0f, 0.0f, &p), 0.01f) << s;
        EXPECT_LT(get_color_HDR_dEITP(600.0f, 0.0f, &p), 0.05f) << s;
    }

    // Any target: the expected colour measured back scores zero.
    for (int type : {POWER, BT1886, PQ, HLG}) {
        use_target(DCI_P3, type);
        reference->peak_lum = 1000.0f;
        for (float r : {0.0f, 0.3f, 0.8f}) {
            color_t p{};
            p.c.ts0 = r;
            p.c.ts1 = 0.5f;
            p.c.ts2 = 1.0f - r;
            color_block_t e = p.c;
            if (type <= BT1886)
                get_expect(400.0f, 0.1f, &e);
            else if (type == PQ)
                get_expect_ST2084(400.0f, 0.1f, &e);
            else
                get_expect_HLG(400.0f, 0.1f, &e);
            p.c.X = e.X;
            p.c.Y = e.Y;
            p.c.Z = e.Z;
            EXPECT_LT(get_color_dE2000(400.0f, 0.1f, &p), 0.01f) << type << " " << r;
            if (type >= PQ) {
                EXPECT_LT(get_color_HDR_dEITP(400.0f, 0.1f, &p), 0.01f) << type << " " << r;
            }
        }
    }
}
