// The two grayscale bar charts of the HDR report (ΔE2000 and ΔE ICtCp): one
// slot per grayscale patch below the PQ clip level, labelled with its test
// signal in percent. The twins differ only in their vertical place, title and
// pass limit.
#pragma once
#include "charts/bar_chart.h"

constexpr bar_chart_def_t hdr_gray_bar_def(const char *function, int32_t y, const char *text, float pass_limit)
{
    return {{function, 520, y, 680.0f, 266.0f, 1, 6, nullptr, 680, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            "Grayscale Avg dE: ",
            pass_limit};
}

// Builds the chart with its threshold line, slot labels and ticks for
// hdr_gray_pillar_count slots.
canvas_t *build_hdr_gray_bar_chart(bar_chart_t &chart, const bar_chart_def_t &def);

// The pillar rectangle of grayscale slot i for the value v.
void hdr_gray_pillar_coord(const bar_chart_t &chart, const bar_chart_def_t &def, int i, float v, int *x, int *y,
                           int *w, int *h);
