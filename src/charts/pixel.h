// Turning chart positions into screen pixels.
#pragma once

// A position + 0.5, truncated toward zero. Measured values can be NaN or
// huge; the chart functions clamp NaN to their lower limit before they get
// here, and this keeps the conversion defined for whatever is left: NaN
// becomes 0, anything beyond a million pixels is held there.
inline int px_round(double v)
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
inline float clamp_scale(float v, float lo, float hi)
{
    if (v > hi)
        v = hi;
    if (!(v >= lo))
        v = lo;
    return v;
}
