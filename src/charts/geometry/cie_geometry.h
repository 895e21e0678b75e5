// Geometry of the CIE 1931 xy chart: chromaticity to screen pixels.
#pragma once
#include "charts/geometry/pixel.h"

// The plot of the chart, showing 0.0 to 0.9 on both axes.
inline constexpr plot_t CIE_PLOT = {520, 330, 500.0f, 460.0f};

// The chromaticity (x, y), each held within [min, max], on that plot: the
// differences in single precision, the rest in double.
constexpr pixel_t cie_point(float max, float min, float x, float y)
{
    const plot_t &p = CIE_PLOT;
    y = clamp_scale(y, min, max);
    x = clamp_scale(x, min, max);
    return {px_round((x - min) / 0.9 * p.width + p.x), px_round((max - y) / 0.9 * p.height + p.y)};
}
