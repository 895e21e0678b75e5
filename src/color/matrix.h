// Small dense single-precision matrices in row-pointer form.
#pragma once
#include <cstdint>

struct matrix_t {
    int32_t row;
    int32_t col;
    float **data;
};

matrix_t create_matrix(int32_t row, int32_t col);
void free_matrix(matrix_t m);
void printf_matrix(matrix_t m);
matrix_t mul_matrix(matrix_t a, matrix_t b);
matrix_t get_inver_matrix(matrix_t m);
