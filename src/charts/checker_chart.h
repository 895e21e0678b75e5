// The colour checker bar charts of both reports: 18 named slots across the
// page width. The twins differ only in their vertical place, title and the
// verdict shown.
#pragma once
#include <cstdio>
#include <iterator>

#include "charts/bar_chart.h"
#include "measure/patch_names.h"

constexpr bar_chart_def_t checker_def(const char *function, int32_t y, float height, const char *text,
                                      verdict_id verdict)
{
    return {{function, 20, y, 1880.0f, height, 1, 6, nullptr, 1880, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            verdict,
            [] { return static_cast<int>(std::size(checker_names)); },
            [](int i, char *slot, size_t size) { snprintf(slot, size, "%s", checker_names[i]); }};
}
