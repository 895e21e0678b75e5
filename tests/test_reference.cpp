// The target record: defaults, constant tables and the derived matrices.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "color/matrix.h"
#include "config/reference.h"

namespace {

// RGB_to_XYZ applied to (r, g, b).
void rgb_to_xyz(float r, float g, float b, float out[3])
{
    matrix_t v = create_matrix(3, 1);
    v.data[0][0] = r;
    v.data[1][0] = g;
    v.data[2][0] = b;
    matrix_t p = mul_matrix(reference->RGB_to_XYZ, v);
    for (int i = 0; i < 3; i++)
        out[i] = p.data[i][0];
    free_matrix(v);
    free_matrix(p);
}

std::string build_matrices()
{
    testing::internal::CaptureStdout();
    init_ref_matrix();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(Reference, Defaults)
{
    init_reference();
    ASSERT_NE(reference, nullptr);
    EXPECT_STREQ(reference->standard.name, "DCI-P3");
    EXPECT_FLOAT_EQ(reference->standard.red.x, 0.68f);
    EXPECT_STREQ(reference->white.name, "D65");
    EXPECT_EQ(reference->white.cct, 6500);
    EXPECT_FLOAT_EQ(reference->white.color.x, 0.312712f);
    EXPECT_FLOAT_EQ(reference->white.color.y, 0.329008f);
    EXPECT_FLOAT_EQ(reference->white.color.Y, 100.0f);
    EXPECT_EQ(reference->test_type, 0);
    EXPECT_FLOAT_EQ(reference->gamma, 2.4f);
    EXPECT_EQ(reference->white_level, 0.0f);
    EXPECT_EQ(reference->peak_lum, 0.0f);
    EXPECT_EQ(reference->gray_steps, 10);
    EXPECT_EQ(reference->RGB_to_XYZ.data, nullptr);

    // A second call starts again from the defaults.
    reference->gamma = 2.2f;
    build_matrices();
    init_reference();
    EXPECT_FLOAT_EQ(reference->gamma, 2.4f);
    EXPECT_EQ(reference->RGB_to_XYZ.data, nullptr);
}

TEST(Reference, Tables)
{
    const char *spaces[] = {"EBU", "SMPTE-C", "Rec.709", "BT.2020", "NTSC", "DCI-P3"};
    for (size_t i = 0; i < standard_type.size(); i++)
        EXPECT_STREQ(standard_type[i].name, spaces[i]);
    EXPECT_FLOAT_EQ(standard_type[3].red.x, 0.708f);
    EXPECT_EQ(standard_type[3].red.Y, 0.0f);

    int judd = 0;
    for (const white_t &w : white_type) {
        EXPECT_EQ(w.color.Y, 100.0f) << w.name;
        EXPECT_EQ(w.color.X, 0.0f) << w.name;
        judd += std::strcmp(w.name, "D65-JUDD") == 0;
    }
    EXPECT_EQ(judd, 3);
    EXPECT_STREQ(white_type[15].name, "E");
    EXPECT_FLOAT_EQ(white_type[15].color.x, 0.333334f);
    EXPECT_FLOAT_EQ(white_type[15].color.y, 0.333333f);
    EXPECT_STREQ(white_type[17].name, "P3-DCI-JUDD");

    EXPECT_STREQ(sensor_name[0], "");
    EXPECT_STREQ(sensor_name[4], "K80/K10");
    EXPECT_STREQ(sensor_name[8], "I1D3");
}

TEST(Reference, DefaultMatricesMapWhite)
{
    init_reference();
    const std::string printed = build_matrices();

    // White completed from its chromaticity at Y = 100.
    const color_block_t &w = reference->white.color;
    EXPECT_NEAR(w.X, 0.312712f / 0.329008f * 100.0f, 1e-3f);
    EXPECT_NEAR(w.Z, (1.0f - 0.312712f - 0.329008f) / 0.329008f * 100.0f, 1e-3f);

    float xyz[3];
    rgb_to_xyz(1, 1, 1, xyz);
    EXPECT_NEAR(xyz[0], w.X / 100.0f, 2e-6f);
    EXPECT_NEAR(xyz[1], 1.0f, 2e-6f);
    EXPECT_NEAR(xyz[2], w.Z / 100.0f, 2e-6f);

    matrix_t v = create_matrix(3, 1);
    for (int i = 0; i < 3; i++)
        v.data[i][0] = xyz[i];
    matrix_t rgb = mul_matrix(reference->XYZ_to_RGB, v);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(rgb.data[i][0], 1.0f, 1e-5f);
    free_matrix(v);
    free_matrix(rgb);

    // The matrix is printed: three rows of three fields, then an empty line.
    ASSERT_EQ(printed.size(), 3u * 34u + 1u);
    EXPECT_EQ(printed.substr(printed.size() - 2), "\n\n");
    char first[16];
    std::snprintf(first, sizeof first, "%10f ", static_cast<double>(reference->RGB_to_XYZ.data[0][0]));
    EXPECT_EQ(printed.substr(0, 11), first);
}

TEST(Reference, MatricesFollowTheChosenTarget)
{
    init_reference();
    reference->standard = standard_type[3];  // BT.2020
    reference->white = white_type[15];       // E
    build_matrices();
    // RGB (1, 1, 1) maps to white E at Y = 1: X and Z nearly equal to Y.
    const matrix_t &m = reference->RGB_to_XYZ;
    EXPECT_NEAR(m.data[1][0] + m.data[1][1] + m.data[1][2], 1.0f, 2e-6f);
    EXPECT_NEAR(m.data[0][0] + m.data[0][1] + m.data[0][2], 0.333334f / 0.333333f, 2e-6f);
    EXPECT_NEAR(m.data[2][0] + m.data[2][1] + m.data[2][2], 0.333333f / 0.333333f, 2e-6f);

    matrix_t p = mul_matrix(reference->RGB_to_XYZ, reference->XYZ_to_RGB);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(p.data[i][j], i == j ? 1.0f : 0.0f, 1e-5f);
    free_matrix(p);
}
