// Geometry of the CIE 1931 xy chart: chromaticity to screen pixels.
#pragma once
#include "charts/geometry/pixel.h"

// The chromaticity (x, y), each held within [min, max], on the plot at
// 520, 330 of 500 x 460 that shows 0.0 to 0.9 on both axes: the differences
// in single precision, the rest in double.
constexpr pixel_t cie_point(float max, float min, float x, float y)
{
    y = clamp_scale(y, min, max);
    x = clamp_scale(x, min, max);
    return {px_round((x - min) / 0.9 * 500 + 520), px_round((max - y) / 0.9 * 460 + 330)};
}
