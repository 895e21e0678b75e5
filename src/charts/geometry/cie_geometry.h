// Geometry of the CIE 1931 xy chart: chromaticity to screen pixels.
#pragma once
#include "draw/pixel.h"

// The plot of the chart, showing 0.0 to 0.9 on both axes: the range held in
// single precision, the span the positions are divided by in double.
inline constexpr plot_t CIE_PLOT = {520, 330, 500.0f, 460.0f};
inline constexpr float CIE_MIN = 0.0f;
inline constexpr float CIE_MAX = 0.9f;
inline constexpr double CIE_SPAN = 0.9;

// The chromaticity (x, y), each held within the range, on that plot: the
// differences in single precision, the rest in double.
constexpr pixel_t cie_point(float x, float y)
{
    const plot_t &p = CIE_PLOT;
    y = clamp_scale(y, CIE_MIN, CIE_MAX);
    x = clamp_scale(x, CIE_MIN, CIE_MAX);
    return {px_round((x - CIE_MIN) / CIE_SPAN * p.width + p.x), px_round((CIE_MAX - y) / CIE_SPAN * p.height + p.y)};
}
