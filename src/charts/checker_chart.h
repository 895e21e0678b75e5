// The colour checker bar charts of both reports: 18 named slots across the
// page width. The twins differ only in their vertical place, title and the
// verdict shown.
#pragma once
#include <cstdio>
#include <iterator>

#include "charts/bar_chart.h"
#include "measure/patch_names.h"

constexpr bar_chart_def_t checker_def(const char *function, const bar_layout_t &bars, const char *text,
                                      verdict_id verdict)
{
    return {.bars = bars,
            .chart = bar_chart_frame(function, bars, text),
            .verdict = verdict,
            .slot_count = [] { return static_cast<int>(std::size(checker_names)); },
            .slot_text = [](int i, char *slot, size_t size) { snprintf(slot, size, "%s", checker_names[i]); }};
}
