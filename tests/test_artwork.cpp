// The generated artwork: the sizes the charts draw it at and the scale of the
// chromaticity diagram (x 0 to 0.9 across, y 0.9 to 0 down).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

const std::string image_dir = std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/image/";

}  // namespace

TEST(Artwork, ImagesExistWithTheSizesTheyAreDrawnAt)
{
    struct expected {
        const char *name;
        int w, h;  // 0: any size
    } const files[] = {
        {"tervane.png", 200, 200},  {"icon_luma.png", 40, 40},       {"icon_dE.png", 40, 40},
        {"icon_gamut.png", 40, 40}, {"round_15_15_01.png", 15, 15}, {"meas_white_7_7.png", 7, 7},
        {"cie_1931.png", 500, 460}, {"bg_trans.png", 0, 0},         {"title_07.png", 0, 40},
        {"result_true.png", 0, 0},  {"result_false.png", 0, 0},
    };
    for (const expected &e : files) {
        rgba_image img = read_png(image_dir + e.name);
        ASSERT_TRUE(img.ok) << e.name;
        EXPECT_TRUE(e.w == 0 || img.width == e.w) << e.name << " is " << img.width << " wide";
        EXPECT_TRUE(e.h == 0 || img.height == e.h) << e.name << " is " << img.height << " high";
    }
    // The title bar is drawn with fill-outside up to 1881 wide: narrower
    // artwork would be scaled up and cropped.
    EXPECT_GE(read_png(image_dir + "title_07.png").width, 1881);
    EXPECT_TRUE(file_exists(std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/font/arial.ttf"));
}

// The toolkit premultiplies a loaded image as c * (a + 1) >> 8 in C and as
// c * (a + 2) >> 8 with NEON on aarch64; a colour that comes out above its
// alpha overflows when blended (black dots on the white report).
TEST(Artwork, NoColourExceedsItsAlphaOncePremultipliedOnAnyCpu)
{
    int images = 0;
    for (const auto &entry : std::filesystem::directory_iterator(image_dir)) {
        const rgba_image img = read_png(entry.path().string());
        ASSERT_TRUE(img.ok) << entry.path();
        ++images;
        long unsafe = 0;
        for (size_t k = 0; k < img.rgba.size(); k += 4) {
            const int a = img.rgba[k + 3];
            for (int c = 0; c < 3; ++c)
                for (int extra : {1, 2})
                    unsafe += (img.rgba[k + c] * (a + extra) >> 8) > a;
        }
        EXPECT_EQ(unsafe, 0) << entry.path().filename() << ": channels above their alpha once premultiplied";
    }
    EXPECT_GE(images, 11);
}

TEST(Artwork, CieDiagramIsScaledToTheChartAxes)
{
    rgba_image cie = read_png(image_dir + "cie_1931.png");
    ASSERT_TRUE(cie.ok);
    // The pixel at chromaticity (x, y) and its alpha.
    rgb c{};
    auto xy = [&](double x, double y) {
        const int col = static_cast<int>(x / 0.9 * cie.width), row = static_cast<int>((0.9 - y) / 0.9 * cie.height);
        c = at(cie, col, row);
        return alpha(cie, col, row);
    };
    for (auto [x, y] : {std::pair{0.8, 0.8}, {0.05, 0.05}, {0.85, 0.05}, {0.02, 0.88}})
        EXPECT_EQ(xy(x, y), 0) << "outside the locus at " << x << "," << y;
    EXPECT_EQ(xy(0.2, 0.7), 255);
    EXPECT_GT(c.g, c.r + 60) << "green region";
    EXPECT_EQ(xy(0.6, 0.33), 255);
    EXPECT_GT(c.r, c.g + 60) << "red region";
    EXPECT_EQ(xy(0.3127, 0.329), 255);
    EXPECT_LT(std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}), 80) << "D65 near neutral";

    // Extremes of the spectral locus: green peak y 0.834, red end x 0.735, blue end y 0.005.
    int top = cie.height, right = 0, bottom = 0;
    for (int y = 0; y < cie.height; ++y)
        for (int x = 0; x < cie.width; ++x)
            if (alpha(cie, x, y) >= 128) {
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    const double px = 0.9 / 500, py = 0.9 / 460;
    EXPECT_NEAR(0.9 - (top + 0.5) * py, 0.834, 3 * py);
    EXPECT_NEAR((right + 0.5) * px, 0.735, 3 * px);
    EXPECT_NEAR(0.9 - (bottom + 0.5) * py, 0.005, 3 * py);
}
