// Zero and equality of measured and table values: a magnitude, widened to
// double, below 1e-7.
#pragma once
#include <cmath>

inline constexpr double EPS = 1e-7;

inline bool near_zero(float v)
{
    return std::fabs(static_cast<double>(v)) < EPS;
}
