// The colour checker bar charts of both reports: 18 named slots across the
// page width. The twins differ only in their vertical place, title, caption
// of the value judged and pass limit.
#pragma once
#include "charts/bar_chart.h"

constexpr bar_chart_def_t checker_chart_def(const char *function, int32_t y, float height, const char *text,
                                            float pass_limit)
{
    return {{function, 20, y, 1880.0f, height, 1, 6, nullptr, 1880, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            "Color Checker Avg dE: ",
            pass_limit};
}

// Builds the chart with its threshold line, slot names and ticks.
canvas_t *build_checker_chart(bar_chart_t &chart, const bar_chart_def_t &def);

// The pillar rectangle of slot i (0 to 17) for the value v.
void checker_pillar_coord(const bar_chart_t &chart, const bar_chart_def_t &def, int i, float v, int *x, int *y,
                          int *w, int *h);
