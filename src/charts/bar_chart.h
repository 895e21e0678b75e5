// What the six ΔE bar charts share: a 0 to 12 scale with guide lines (the
// green threshold at ΔE 3 unless a chart names others), a row of labelled,
// ticked slots under the plot, pillars capped at 10 and a verdict. Their
// geometry is in charts/geometry/bar_geometry.h.
#pragma once
#include <cstddef>
#include <span>

#include "charts/geometry/bar_geometry.h"
#include "draw/draw_bg.h"
#include "draw/images.h"
#include "measure/measure.h"

// A horizontal guide line at a ΔE value, in its colour.
struct bar_guide_t {
    int value;
    int r, g, b;
};
inline constexpr bar_guide_t THRESHOLD_GUIDE[] = {{3, 0, 200, 0}};

// One bar chart's fixed values; the plot of `chart` is that of `bars`.
struct bar_chart_def_t {
    bar_layout_t bars;
    chart_def_t chart;
    int (*slot_count)(const job_t &job);
    // Writes the text under slot i (a name or a signal in percent).
    void (*slot_text)(const job_t &job, int i, char *text, size_t size);
    std::span<const bar_guide_t> guides = THRESHOLD_GUIDE;
};

// What every bar chart's frame shares: the ΔE icon, a title as wide as the
// plot, the 0 to 12 scale labelled every 2 and no vertical grid.
constexpr chart_def_t bar_chart_frame(const bar_layout_t &bars, const char *text)
{
    return {.plot = bars.plot,
            .y_grid_count = 6,
            .title_width = static_cast<int32_t>(bars.plot.width),
            .icon = image_path[IMAGE_ICON_DE],
            .text = text,
            .left = {.max = 12.0f, .step = 2.0f, .digits = 2},
            .down = {.max = 1.0f, .step = 1.0f, .digits = 5}};
}

// A bar chart module: its fixed values.
class bar_chart {
public:
    explicit constexpr bar_chart(const bar_chart_def_t &def) : def_(def) {}

    // Builds the canvas with its guide lines, slot labels and ticks for the
    // job's slots; null when an allocation fails. A label that cannot be made
    // ends the slots, closing tick included.
    canvas_t *build(const job_t &job) const;

    // The pillar of value v in slot i, standing on the plot bottom: capped at
    // 10, NaN and values below the scale held at the bottom.
    rect_t pillar(const job_t &job, int i, float v) const;

private:
    bar_chart_def_t def_;
};
