// Turning chart positions into screen pixels. This header and the chart
// geometry headers built on it (src/charts/geometry) are plain arithmetic over
// their parameters: no toolkit, no module state, so that the device builds can
// be checked to place every mark where the development machine does.
#pragma once
#include <cstdint>

// A plot area in screen pixels: left and top edge, width and height.
struct plot_t {
    int32_t x, y;
    float width, height;
};

// A point in screen pixels.
struct pixel_t {
    int x, y;
    bool operator==(const pixel_t &) const = default;
};

// A rectangle in screen pixels: top-left corner, width and height.
struct rect_t {
    int x, y, w, h;
    bool operator==(const rect_t &) const = default;
};

// A position + 0.5, truncated toward zero. Measured values can be NaN or
// huge; the chart functions clamp NaN to their lower limit before they get
// here, and this keeps the conversion defined for whatever is left: NaN
// becomes 0, anything beyond a million pixels is held there.
constexpr int px_round(double v)
{
    constexpr double reach = 1e6;
    if (v != v)
        return 0;
    v += 0.5;
    if (v > reach)
        return static_cast<int>(reach);
    if (v < -reach)
        return static_cast<int>(-reach);
    return static_cast<int>(v);
}

// v held within a chart's scale [lo, hi]; NaN counts as lo.
constexpr float clamp_scale(float v, float lo, float hi)
{
    if (v > hi)
        v = hi;
    if (!(v >= lo))
        v = lo;
    return v;
}

// Share of an axis span; an empty span maps everything onto its start.
constexpr float span_ratio(float part, float span)
{
    return span > 0.0f ? part / span : 0.0f;
}

// The bottom edge of a plot, truncated.
constexpr int plot_bottom(const plot_t &p)
{
    return static_cast<int>(p.y + p.height);
}
