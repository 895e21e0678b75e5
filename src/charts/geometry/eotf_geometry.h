// Geometry of the two grayscale EOTF charts: the signal ticks, the SDR
// chart's scale and mapping, and the HDR chart's mapping and reference
// curves. Every position is in screen pixels.
#pragma once
#include <cmath>

#include "draw/pixel.h"

// One signal tick under an EOTF plot: its x and its label's left edge and
// width (the label centred under the tick).
struct signal_tick_t {
    int x;
    int label_x;
    int label_width;
};

// Tick i of `steps` + 1 equal places across the plot.
constexpr signal_tick_t signal_tick(const plot_t &p, int steps, int i)
{
    const float step = p.width / steps;
    const int x = px_round(p.x + step * i);
    return {x, static_cast<int>(x - step / 2 - 0.5), static_cast<int>(step)};
}

// The SDR chart's axes: signal on x (0 to 1.0, or 1.1 with a super white),
// PQ value on y.
struct sdr_eotf_scale_t {
    float max_y, min_y, max_x, min_x;
};

// The plot the SDR chart's data mapping uses.
inline constexpr plot_t SDR_EOTF_PLOT = {1040, 330, 860.0f, 460.0f};

// The SDR scale for the white's PQ value max_E: the y range ends at the next
// tenth above it, with headroom for a super white, never above 1.0. Without
// a positive max_E (no white measured) the y range is empty.
constexpr sdr_eotf_scale_t sdr_eotf_scale(bool super_white, float max_E)
{
    sdr_eotf_scale_t s{};
    s.max_x = super_white ? 1.1f : 1.0f;
    if (!(max_E > 0.0f))
        return s;
    // Tenths beyond 11 end at 1.0 all the same; holding them there keeps
    // the conversion defined for a huge max_E (x86-64 and ARM disagree on
    // what an out-of-range float gives as an int).
    const float tenths = (super_white ? 2.0f : 1.5f) + max_E * 10.0f;
    const int t = tenths < 11.0f ? static_cast<int>(tenths) : 11;
    const double v = t / 10.0;
    s.max_y = v > 1.0 ? 1.0f : static_cast<float>(v);
    return s;
}

// Grid rows of the SDR y axis: one per 0.1.
inline int sdr_eotf_rows(const sdr_eotf_scale_t &s)
{
    return static_cast<int>(std::lround((static_cast<double>(s.max_y) - s.min_y) / 0.1));
}

// A measured point (signal xv, PQ value yv) on the SDR chart, held inside
// the plot.
constexpr pixel_t sdr_eotf_point(const sdr_eotf_scale_t &s, float xv, float yv)
{
    const plot_t &p = SDR_EOTF_PLOT;
    yv = clamp_scale(yv, s.min_y, s.max_y);
    xv = clamp_scale(xv, s.min_x, s.max_x);
    return {px_round(p.x + span_ratio(xv - s.min_x, s.max_x - s.min_x) * p.width),
            px_round(p.y + span_ratio(s.max_y - yv, s.max_y - s.min_y) * p.height)};
}

// The signal of the SDR reference curve's point i of 20.
constexpr float sdr_curve_signal(const sdr_eotf_scale_t &s, int i)
{
    return static_cast<float>(i / 20.0 * (static_cast<double>(s.max_x) - s.min_x));
}

// That point at signal e and expected PQ value pq on the plot p (NaN: the
// bottom); x as the data mapping, y in double precision and not clamped.
constexpr pixel_t sdr_curve_point(const plot_t &p, const sdr_eotf_scale_t &s, float e, float pq)
{
    if (pq != pq)
        pq = s.min_y;
    return {px_round(p.x + span_ratio(e - s.min_x, s.max_x - s.min_x) * p.width),
            px_round(p.y + span_ratio(s.max_y - pq, s.max_y - s.min_y) * static_cast<double>(p.height))};
}

// The HDR chart: E' from min to max on y, the signal over the same span on x.
inline constexpr plot_t HDR_EOTF_PLOT = {1220, 80, 680.0f, 612.0f};
inline constexpr float HDR_EOTF_MIN = 0.0f;
inline constexpr float HDR_EOTF_MAX = 1.0f;

// A measured point on the HDR chart: E' held inside the plot, the signal not
// (NaN at the left edge).
constexpr pixel_t hdr_eotf_point(float signal, float value)
{
    const plot_t &p = HDR_EOTF_PLOT;
    constexpr float max = HDR_EOTF_MAX, min = HDR_EOTF_MIN;
    value = clamp_scale(value, min, max);
    if (signal != signal)
        signal = min;
    const float range = max - min;
    return {px_round(p.x + (signal - min) / range * p.width), px_round(p.y + (max - value) / range * p.height)};
}

// The PQ reference curve on the plot p: a ramp from the bottom-left corner
// to the knee at the white's PQ value max_E (NaN: 0), flat from there to one
// pixel before the right edge.
struct pq_curve_t {
    int left, bottom, knee_x, knee_y, right;
};
constexpr pq_curve_t pq_curve(const plot_t &p, float max_E)
{
    const float e = max_E == max_E ? max_E : 0.0f;
    return {p.x, plot_bottom(p), px_round(p.x + e * p.width), px_round(p.y + (1 - e) * p.height),
            static_cast<int>(p.x + p.width - 1.0f)};
}

// The signal of the HLG reference curve's point i of 20.
constexpr float hlg_curve_signal(int i)
{
    return static_cast<float>(i / 20.0);
}

// That point with the expected PQ value e (NaN: the bottom) on the plot p,
// in double precision.
constexpr pixel_t hlg_curve_point(const plot_t &p, int i, float e)
{
    if (e != e)
        e = HDR_EOTF_MIN;
    return {px_round(p.x + i * 0.05 * p.width), px_round(p.y + (static_cast<double>(HDR_EOTF_MAX) - e) * p.height)};
}
