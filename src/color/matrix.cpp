// Small dense single-precision matrices: creation, release, printing,
// product and Gauss-Jordan inverse. Misuse is a programming error and ends
// the process.
#include "color/matrix.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

matrix_t create_matrix(int32_t row, int32_t col)
{
    matrix_t m;
    m.row = row;
    m.col = col;
    m.data = static_cast<float **>(malloc(sizeof(float *) * (row > 0 ? row : 0)));
    if (m.data == nullptr && row > 0)
        exit(-1);
    for (int32_t i = 0; i < row; i++) {
        m.data[i] = static_cast<float *>(malloc(sizeof(float) * (col > 0 ? col : 0)));
        if (m.data[i] == nullptr && col > 0)
            exit(-1);
        if (col > 0)
            memset(m.data[i], 0, sizeof(float) * col);
    }
    return m;
}

void free_matrix(matrix_t m)
{
    if (m.data == nullptr)
        return;
    for (int32_t i = 0; i < m.row; i++)
        free(m.data[i]);
    free(m.data);
}

void printf_matrix(matrix_t m)
{
    for (int32_t i = 0; i < m.row; i++) {
        for (int32_t j = 0; j < m.col; j++)
            printf("%10f ", static_cast<double>(m.data[i][j]));
        printf("\n");
    }
    printf("\n");
}

matrix_t mul_matrix(matrix_t a, matrix_t b)
{
    if (b.row != a.col) {
        puts("error:mul_matrix!");
        exit(-1);
    }
    matrix_t r = create_matrix(a.row, b.col);
    for (int32_t i = 0; i < a.row; i++)
        for (int32_t j = 0; j < b.col; j++)
            for (int32_t k = 0; k < a.col; k++)
                r.data[i][j] = r.data[i][j] + a.data[i][k] * b.data[k][j];
    return r;
}

matrix_t get_inver_matrix(matrix_t m)
{
    if (m.data == nullptr) {
        puts("error:matrix_inver! data == NULL!");
        exit(-1);
    }
    if (m.row != m.col) {
        printf("error:matrix_inver! row(%d) != col(%d).\n", m.row, m.col);
        exit(-1);
    }
    const int32_t n = m.row;
    matrix_t a = create_matrix(n, 2 * n);
    matrix_t r = create_matrix(n, n);
    for (int32_t i = 0; i < n; i++) {
        for (int32_t j = 0; j < n; j++)
            a.data[i][j] = m.data[i][j];
        a.data[i][n + i] = 1.0f;
    }

    for (int32_t k = 0; k < n; k++) {
        // Partial pivoting: only a strictly larger magnitude replaces the
        // current candidate, so ties keep the upper row.
        int32_t p = k;
        float best = std::fabs(a.data[k][k]);
        for (int32_t i = k + 1; i < n; i++) {
            float mag = std::fabs(a.data[i][k]);
            if (mag > best) {
                best = mag;
                p = i;
            }
        }
        if (p != k) {
            for (int32_t c = 0; c < 2 * n; c++) {
                float t = a.data[k][c];
                a.data[k][c] = a.data[p][c];
                a.data[p][c] = t;
            }
        }

        const float pivot = a.data[k][k];
        for (int32_t i = 0; i < n; i++) {
            if (i == k || a.data[i][k] == 0.0f)
                continue;
            const float f = a.data[i][k] / pivot;
            for (int32_t c = 0; c < 2 * n; c++)
                a.data[i][c] = a.data[i][c] - f * a.data[k][c];
        }

        const float s = 1.0f / pivot;
        for (int32_t c = 0; c < 2 * n; c++)
            a.data[k][c] = a.data[k][c] * s;
    }

    for (int32_t i = 0; i < n; i++)
        for (int32_t j = 0; j < n; j++)
            r.data[i][j] = a.data[i][n + j];
    free_matrix(a);
    return r;
}
