// What the ΔE bar charts share: a 0 to 12 scale with a green threshold at
// ΔE 3, named slots with ticks under the plot, pillars capped at 10 and an
// average verdict.
#pragma once
#include <cstdint>

#include "draw/draw_bg.h"

// One bar chart's fixed values.
struct bar_chart_def_t {
    chart_def_t chart;
    const char *caption;  // verdict caption, e.g. "Grayscale Avg dE: "
    float pass_limit;     // the average passes when it is at most this
};

// A bar chart module's state: its records and the scale limits.
struct bar_chart_t {
    chart_records_t records;
    int32_t max_val;
    int32_t min_val;
};

// Sets the limits, builds the canvas, draws the threshold line and then the
// chart's slots (draw_slots gets the plot bottom); null when an allocation
// fails.
canvas_t *build_bar_chart(bar_chart_t &chart, const bar_chart_def_t &def, void (*draw_slots)(canvas_t *, int));

// One slot under the plot: its label (w x 15 at boundary - 2) and its
// 5-pixel tick at the boundary. False, with nothing drawn, when the label
// cannot be made.
bool draw_bar_slot(canvas_t *canvas, const char *markup, int boundary, int bottom, int label_width);

// The pillar of value v standing on the plot bottom at `left`, `width` wide:
// capped at 10, NaN and values below the scale held at the bottom.
void bar_pillar_rect(const bar_chart_t &chart, const bar_chart_def_t &def, float v, int left, int width, int *x,
                     int *y, int *w, int *h);

// The verdict text and image; nothing when the chart does not exist. A NaN
// average fails.
void draw_bar_verdict(const bar_chart_t &chart, const bar_chart_def_t &def, float average);
