// Dense matrices: product, Gauss-Jordan inverse, printing and the
// process-ending misuse checks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "color/matrix.h"

namespace {

matrix_t make(int32_t rows, int32_t cols, std::initializer_list<float> values)
{
    matrix_t m = create_matrix(rows, cols);
    auto it = values.begin();
    for (int32_t i = 0; i < rows; i++)
        for (int32_t j = 0; j < cols; j++)
            m.data[i][j] = *it++;
    return m;
}

void expect_identity(matrix_t m, float tol)
{
    for (int32_t i = 0; i < m.row; i++)
        for (int32_t j = 0; j < m.col; j++)
            EXPECT_NEAR(m.data[i][j], i == j ? 1.0f : 0.0f, tol) << i << "," << j;
}

// Misuse ends the process with its message on standard output; the death
// statement routes standard output into the captured standard error.
#define EXPECT_ENDS_WITH_MESSAGE(statement, regex) \
    EXPECT_EXIT(                                   \
        {                                          \
            dup2(2, 1);                            \
            statement;                             \
        },                                         \
        ::testing::ExitedWithCode(255), regex)

}  // namespace

TEST(Matrix, ProductShapesAndValues)
{
    matrix_t a = make(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    matrix_t v = make(3, 1, {1, 0, -1});
    matrix_t r = mul_matrix(a, v);
    ASSERT_EQ(r.row, 3);
    ASSERT_EQ(r.col, 1);
    EXPECT_EQ(r.data[0][0], -2.0f);
    EXPECT_EQ(r.data[1][0], -2.0f);
    EXPECT_EQ(r.data[2][0], -2.0f);

    matrix_t row = make(1, 3, {1, 1, 1});
    matrix_t s = mul_matrix(row, a);  // column sums
    ASSERT_EQ(s.row, 1);
    ASSERT_EQ(s.col, 3);
    EXPECT_EQ(s.data[0][0], 12.0f);
    EXPECT_EQ(s.data[0][2], 18.0f);
    for (matrix_t m : {a, v, r, row, s})
        free_matrix(m);
}

TEST(Matrix, InverseOfIdentityAndPermutation)
{
    matrix_t id = make(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1});
    matrix_t inv = get_inver_matrix(id);
    expect_identity(inv, 0.0f);

    // Needs a row exchange: the first pivot is 0.
    matrix_t swap = make(2, 2, {0, 1, 1, 0});
    matrix_t sinv = get_inver_matrix(swap);
    EXPECT_EQ(sinv.data[0][0], 0.0f);
    EXPECT_EQ(sinv.data[0][1], 1.0f);
    EXPECT_EQ(sinv.data[1][0], 1.0f);
    EXPECT_EQ(sinv.data[1][1], 0.0f);
    // The input is left untouched.
    EXPECT_EQ(swap.data[0][0], 0.0f);
    EXPECT_EQ(swap.data[0][1], 1.0f);
    for (matrix_t m : {id, inv, swap, sinv})
        free_matrix(m);
}

TEST(Matrix, InverseOfGeneralMatrices)
{
    // Upper triangular (zeros below the diagonal), equal-magnitude pivot
    // candidates, and a matrix that needs pivoting in a later column.
    for (matrix_t m : {make(3, 3, {2, 1, 1, 0, 4, 1, 0, 0, 5}),
                       make(3, 3, {1, 2, 0, -1, 3, 1, 1, 0, 2}),
                       make(3, 3, {1, 2, 3, 2, 4, 7, 5, 1, 0})}) {
        matrix_t inv = get_inver_matrix(m);
        matrix_t p = mul_matrix(m, inv);
        expect_identity(p, 1e-5f);
        free_matrix(p);
        free_matrix(inv);
        free_matrix(m);
    }

    matrix_t upper = make(2, 2, {2, 1, 0, 4});
    matrix_t uinv = get_inver_matrix(upper);
    EXPECT_FLOAT_EQ(uinv.data[0][0], 0.5f);
    EXPECT_FLOAT_EQ(uinv.data[0][1], -0.125f);
    EXPECT_EQ(uinv.data[1][0], 0.0f);
    EXPECT_FLOAT_EQ(uinv.data[1][1], 0.25f);
    free_matrix(upper);
    free_matrix(uinv);
}

TEST(Matrix, SingularInverseIsNotFiniteAndSilent)
{
    matrix_t z = create_matrix(2, 2);
    testing::internal::CaptureStdout();
    matrix_t inv = get_inver_matrix(z);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(std::isfinite(inv.data[0][0]));
    free_matrix(z);
    free_matrix(inv);
}

TEST(Matrix, PrintFormat)
{
    matrix_t m = make(1, 2, {1, 2});
    testing::internal::CaptureStdout();
    printf_matrix(m);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "  1.000000   2.000000 \n\n");
    EXPECT_EQ(out.find('\n'), 22u);
    free_matrix(m);

    matrix_t empty = create_matrix(0, 0);
    testing::internal::CaptureStdout();
    printf_matrix(empty);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
    free_matrix(empty);
}

TEST(MatrixDeathTest, MisuseEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    matrix_t a = create_matrix(3, 3);
    matrix_t v = create_matrix(3, 1);
    EXPECT_ENDS_WITH_MESSAGE(mul_matrix(v, a), "error:mul_matrix!");
    EXPECT_ENDS_WITH_MESSAGE(get_inver_matrix(v), "error:matrix_inver! row\\(3\\) != col\\(1\\)\\.");
    matrix_t no_data{2, 2, nullptr};
    EXPECT_ENDS_WITH_MESSAGE(get_inver_matrix(no_data), "error:matrix_inver! data == NULL!");
    // The null-data test comes before the size test.
    matrix_t no_data_rect{3, 1, nullptr};
    EXPECT_ENDS_WITH_MESSAGE(get_inver_matrix(no_data_rect), "data == NULL!");
    free_matrix(a);
    free_matrix(v);
}
