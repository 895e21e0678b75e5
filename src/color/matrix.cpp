// The 3 x 3 inverse and printout.
#include "color/matrix.h"

#include <cmath>
#include <cstdio>

mat3_t get_inver_matrix(const mat3_t &m)
{
    constexpr int n = 3;
    // The matrix with the identity to its right, reduced until the left half
    // is the identity and the right half the inverse.
    std::array<std::array<float, 2 * n>, n> a{};
    for (int i = 0; i < n; i++) {
        for (int j = 0; j < n; j++)
            a[i][j] = m.m[i][j];
        a[i][n + i] = 1.0f;
    }

    for (int k = 0; k < n; k++) {
        // Partial pivoting: only a strictly larger magnitude replaces the
        // current candidate, so ties keep the upper row.
        int p = k;
        float best = std::fabs(a[k][k]);
        for (int i = k + 1; i < n; i++) {
            const float mag = std::fabs(a[i][k]);
            if (mag > best) {
                best = mag;
                p = i;
            }
        }
        if (p != k)
            std::swap(a[k], a[p]);

        const float pivot = a[k][k];
        for (int i = 0; i < n; i++) {
            if (i == k || a[i][k] == 0.0f)
                continue;
            const float f = a[i][k] / pivot;
            for (int c = 0; c < 2 * n; c++)
                a[i][c] = a[i][c] - f * a[k][c];
        }

        const float s = 1.0f / pivot;
        for (int c = 0; c < 2 * n; c++)
            a[k][c] = a[k][c] * s;
    }

    mat3_t r;
    for (int i = 0; i < n; i++)
        for (int j = 0; j < n; j++)
            r.m[i][j] = a[i][n + j];
    return r;
}

void printf_matrix(const mat3_t &m)
{
    for (const auto &row : m.m) {
        for (float e : row)
            printf("%10f ", static_cast<double>(e));
        printf("\n");
    }
    printf("\n");
}
