// Geometry of the six ΔE bar charts: a 0 to 12 scale, pillars capped at 10.
//
// With n slots the plot width is split into 3n + 1 units u: slot i is three
// units wide, its pillar the right two of them (left edge x + 3u·i + u), its
// label and tick on the boundary in the middle of the gap before the pillar.
#pragma once
#include "draw/pixel.h"

// Where a bar chart stands and how it takes a value's distance from the top
// of the scale: in double precision (the SDR grayscale and gamut charts) or
// in single.
struct bar_layout_t {
    plot_t plot;
    bool double_difference;
};
inline constexpr bar_layout_t SDR_GRAY_DE_BARS = {{1040, 60, 860.0f, 210.0f}, true};
inline constexpr bar_layout_t SDR_GAMUT_DE_BARS = {{520, 60, 500.0f, 210.0f}, true};
inline constexpr bar_layout_t SDR_CHECKER_BARS = {{20, 850, 1880.0f, 210.0f}, false};
inline constexpr bar_layout_t HDR_GRAY_DE2000_BARS = {{520, 80, 680.0f, 266.0f}, false};
inline constexpr bar_layout_t HDR_GRAY_DEITP_BARS = {{520, 426, 680.0f, 266.0f}, false};
inline constexpr bar_layout_t HDR_CHECKER_BARS = {{20, 772, 1880.0f, 266.0f}, false};

inline constexpr int32_t BAR_SCALE_MAX = 12;
inline constexpr int32_t BAR_SCALE_MIN = 0;
inline constexpr float PILLAR_CAP = 10.0f;

// The width of one unit for n slots, divided in double precision.
constexpr float bar_unit(float width, int n)
{
    return static_cast<float>(static_cast<double>(width) / (3 * n + 1));
}

// The left edge of slot i's pillar, summed in single precision.
constexpr float pillar_left(int32_t x, int i, float u)
{
    return static_cast<float>(x) + i * (2 * u) + (i + 1) * u;
}

// Slot i's boundary: where its tick stands, its label 2 pixels left of it.
constexpr int slot_boundary(int32_t x, int i, float u)
{
    return px_round(pillar_left(x, i, u) - u / 2);
}

// The tick in the middle of the gap after the last slot.
constexpr int closing_boundary(const plot_t &p, float u)
{
    return px_round(p.x + p.width - u / 2);
}

// The width of a slot's label: the whole slot, truncated.
constexpr int slot_label_width(float u)
{
    return static_cast<int>(u + 2 * u);
}

// The y of a value whose distance from the top of the scale is `difference`.
constexpr int value_top(const plot_t &p, double difference)
{
    return px_round(p.y + difference / BAR_SCALE_MAX * p.height);
}

// A horizontal guide line at a ΔE value: its y and its two ends, 40 pixels
// inside the plot.
constexpr int guide_y(const plot_t &p, int value)
{
    return value_top(p, BAR_SCALE_MAX - value);
}
constexpr int guide_left(const plot_t &p)
{
    return p.x + 40;
}
constexpr int guide_right(const plot_t &p)
{
    return static_cast<int>(p.x + p.width - 40);
}

// The pillar of value v in slot i of n, standing on the plot bottom: capped
// at 10, NaN and values below the scale held at the bottom.
constexpr rect_t pillar_rect(const bar_layout_t &bars, int n, int i, float v)
{
    const plot_t &p = bars.plot;
    v = clamp_scale(v, BAR_SCALE_MIN, PILLAR_CAP);
    const double difference = bars.double_difference ? BAR_SCALE_MAX - static_cast<double>(v)
                                                     : static_cast<double>(BAR_SCALE_MAX - v);
    const float u = bar_unit(p.width, n);
    const int top = value_top(p, difference);
    return {px_round(pillar_left(p.x, i, u)), top, px_round(2 * u), plot_bottom(p) - top};
}

// A grayscale slot's label: the test signal in whole percent, rounded in
// double precision (SDR) and held within a printable range for the signals
// of a malformed file.
constexpr int signal_percent_double(float signal)
{
    double pct = signal * 100.0 + 0.5;
    if (!(pct > -1e6))
        pct = -1e6;
    if (pct > 1e6)
        pct = 1e6;
    return static_cast<int>(pct);
}

// The same rounded in single precision (HDR).
constexpr int signal_percent_single(float signal)
{
    return px_round(signal * 100.0f);
}

// The grey of a grayscale pillar: the test signal on 0 to 255; NaN and
// negative signals are black.
constexpr int signal_grey_level(float signal)
{
    const int g = px_round(signal * 255.0);
    return g < 0 ? 0 : g > 255 ? 255 : g;
}
