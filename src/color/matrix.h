// Fixed-size single-precision matrices held by value: the 3 x 3 colour-space
// matrices and the 3 x 1 columns they map. The sizes are part of the types,
// so a product of mismatched shapes does not compile.
#pragma once
#include <array>

// Row-major: m[row][column]; zeros unless given.
struct mat3_t {
    std::array<std::array<float, 3>, 3> m{};
};

// A column: v[row]; zeros unless given.
struct vec3_t {
    std::array<float, 3> v{};
};

// Each element accumulates its products from zero in column order, so the
// single-precision results do not depend on how the call is compiled.
constexpr mat3_t mul_matrix(const mat3_t &a, const mat3_t &b)
{
    mat3_t r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            float s = 0.0f;
            for (int k = 0; k < 3; k++)
                s = s + a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

constexpr vec3_t mul_matrix(const mat3_t &a, const vec3_t &b)
{
    vec3_t r;
    for (int i = 0; i < 3; i++) {
        float s = 0.0f;
        for (int k = 0; k < 3; k++)
            s = s + a.m[i][k] * b.v[k];
        r.v[i] = s;
    }
    return r;
}

// Gauss-Jordan with partial pivoting. A singular matrix gives non-finite
// elements; nothing is printed.
mat3_t get_inver_matrix(const mat3_t &m);

// Each row as "%10f " per element, then an empty line.
void printf_matrix(const mat3_t &m);
