// The generated artwork under the build's device root: sizes the charts rely
// on, the geometry of the chromaticity diagram and the verdict colours.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

const std::string image_dir = std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/image/";

rgba_image load(const char *name)
{
    rgba_image img = read_png(image_dir + name);
    EXPECT_TRUE(img.ok) << name;
    return img;
}

int alpha(const rgba_image &img, int x, int y)
{
    return img.rgba[(static_cast<size_t>(y) * img.width + x) * 4 + 3];
}

// Pixel of the diagram that shows chromaticity (x, y): x 0..0.9 across,
// y 0.9..0 down.
void cie_pixel(const rgba_image &img, double x, double y, int &col, int &row)
{
    col = static_cast<int>(x / 0.9 * img.width);
    row = static_cast<int>((0.9 - y) / 0.9 * img.height);
}

// Alpha-weighted mean colour of a whole image.
void mean_colour(const rgba_image &img, double &r, double &g, double &b)
{
    double sum = 0;
    r = g = b = 0;
    for (size_t k = 0; k + 3 < img.rgba.size(); k += 4) {
        double a = img.rgba[k + 3];
        r += img.rgba[k] * a, g += img.rgba[k + 1] * a, b += img.rgba[k + 2] * a;
        sum += a;
    }
    if (sum > 0)
        r /= sum, g /= sum, b /= sum;
}

}  // namespace

TEST(Artwork, ImagesExistWithTheSizesTheyAreDrawnAt)
{
    struct expected {
        const char *name;
        int w, h;  // 0: any size
    };
    const expected files[] = {
        {"tervane.png", 200, 200},      {"icon_luma.png", 40, 40},        {"icon_dE.png", 40, 40},
        {"icon_gamut.png", 40, 40},     {"round_15_15_01.png", 15, 15},   {"meas_white_7_7.png", 7, 7},
        {"cie_1931.png", 500, 460},     {"bg_trans.png", 0, 0},           {"title_07.png", 0, 0},
        {"result_true.png", 0, 0},      {"result_false.png", 0, 0},
    };
    for (const expected &e : files) {
        rgba_image img = load(e.name);
        if (e.w) {
            EXPECT_EQ(img.width, e.w) << e.name;
            EXPECT_EQ(img.height, e.h) << e.name;
        }
    }
    EXPECT_TRUE(file_exists(std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/font/arial.ttf"));

    // Verdict images are drawn square (38 x 38 and 30 x 30) with fill-outside:
    // a non-square image would be cropped.
    for (const char *name : {"result_true.png", "result_false.png"}) {
        rgba_image img = load(name);
        EXPECT_EQ(img.width, img.height) << name;
        EXPECT_GE(img.width, 38) << name;
    }
}

TEST(Artwork, TitleBarKeepsItsGradientAtEveryChartWidth)
{
    // Fill-outside keeps the aspect ratio: a bar narrower than the widest
    // chart (1880 + 1) would be scaled up and show only a slice of its rows.
    rgba_image bar = load("title_07.png");
    EXPECT_EQ(bar.height, 40);
    EXPECT_GE(bar.width, 1881);
    // Opaque and darker than the light title text (200, 200, 200).
    for (int y = 0; y < bar.height; y += 13) {
        int r, g, b;
        bar.pixel(bar.width / 2, y, r, g, b);
        EXPECT_EQ(alpha(bar, bar.width / 2, y), 255);
        EXPECT_LT(r + g + b, 3 * 110) << "row " << y;
    }
}

TEST(Artwork, CieDiagramIsScaledToTheChartAxes)
{
    rgba_image cie = load("cie_1931.png");
    ASSERT_EQ(cie.width, 500);
    ASSERT_EQ(cie.height, 460);
    int c, r;

    // Outside the spectral locus: transparent, so the plot background shows.
    for (auto [x, y] : {std::pair{0.8, 0.8}, {0.05, 0.05}, {0.85, 0.05}, {0.5, 0.1}, {0.02, 0.88}}) {
        cie_pixel(cie, x, y, c, r);
        EXPECT_EQ(alpha(cie, c, r), 0) << x << "," << y;
    }

    // Inside: opaque, with the colours of the regions.
    int R, G, B;
    cie_pixel(cie, 0.3127, 0.329, c, r);  // D65: near neutral
    EXPECT_EQ(alpha(cie, c, r), 255);
    cie.pixel(c, r, R, G, B);
    EXPECT_GT(R + G + B, 3 * 100);
    EXPECT_LT(std::max({R, G, B}) - std::min({R, G, B}), 80);

    cie_pixel(cie, 0.2, 0.7, c, r);  // green
    EXPECT_EQ(alpha(cie, c, r), 255);
    cie.pixel(c, r, R, G, B);
    EXPECT_GT(G, R + 60);
    EXPECT_GT(G, B);

    cie_pixel(cie, 0.6, 0.33, c, r);  // red
    EXPECT_EQ(alpha(cie, c, r), 255);
    cie.pixel(c, r, R, G, B);
    EXPECT_GT(R, G + 60);
    EXPECT_GT(R, B + 30);

    cie_pixel(cie, 0.16, 0.03, c, r);  // blue-violet
    EXPECT_EQ(alpha(cie, c, r), 255);
    cie.pixel(c, r, R, G, B);
    EXPECT_GT(B, G + 60);

    // Extremes of the locus: the green peak near (0.074, 0.834), the red end
    // at x 0.735 and the blue end at y 0.005.
    int top = cie.height, top_col = 0, right = 0, bottom = 0;
    for (int y = 0; y < cie.height; ++y)
        for (int x = 0; x < cie.width; ++x)
            if (alpha(cie, x, y) >= 128) {
                if (y < top)
                    top = y, top_col = x;
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    const double px = 0.9 / 500, py = 0.9 / 460;
    EXPECT_NEAR(0.9 - (top + 0.5) * py, 0.834, 3 * py);
    EXPECT_NEAR((top_col + 0.5) * px, 0.074, 0.02);
    EXPECT_NEAR((right + 0.5) * px, 0.735, 3 * px);
    EXPECT_NEAR(0.9 - (bottom + 0.5) * py, 0.005, 3 * py);
}

TEST(Artwork, OverlaysAndMarkers)
{
    // The plot overlay lets the grid show through.
    rgba_image bg = load("bg_trans.png");
    size_t clear = 0, n = static_cast<size_t>(bg.width) * bg.height;
    for (int y = 0; y < bg.height; ++y)
        for (int x = 0; x < bg.width; ++x)
            clear += alpha(bg, x, y) < 32;
    EXPECT_GE(clear * 10, n * 9);

    // Round marker: transparent corners, opaque ring.
    rgba_image round = load("round_15_15_01.png");
    EXPECT_EQ(alpha(round, 0, 0), 0);
    EXPECT_EQ(alpha(round, 14, 14), 0);
    EXPECT_GT(alpha(round, 7, 2), 200);
    EXPECT_GT(alpha(round, 12, 7), 200);

    // Measured marker: grey border, white centre.
    rgba_image meas = load("meas_white_7_7.png");
    int r, g, b;
    meas.pixel(0, 0, r, g, b);
    EXPECT_EQ(r, 124);
    meas.pixel(3, 3, r, g, b);
    EXPECT_EQ(r + g + b, 3 * 255);
}

TEST(Artwork, VerdictsReadAsGreenPassAndRedFail)
{
    double r, g, b;
    rgba_image pass = load("result_true.png");
    mean_colour(pass, r, g, b);
    EXPECT_GT(g, r + 40);
    EXPECT_GT(g, b + 40);
    EXPECT_EQ(alpha(pass, 0, 0), 0);
    EXPECT_EQ(alpha(pass, pass.width / 2, pass.height / 2), 255);

    rgba_image fail = load("result_false.png");
    mean_colour(fail, r, g, b);
    EXPECT_GT(r, g + 40);
    EXPECT_GT(r, b + 40);
    EXPECT_EQ(alpha(fail, 0, 0), 0);
    EXPECT_EQ(alpha(fail, fail.width / 2, fail.height / 2), 255);
}
