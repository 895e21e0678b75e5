// The colour checker bar charts of both reports: 18 named slots across the
// page width. The twins differ only in their vertical place and title.
#pragma once
#include <cstdio>
#include <iterator>

#include "charts/bar_chart.h"
#include "measure/patch_names.h"

constexpr bar_chart_def_t checker_def(const bar_layout_t &bars, const char *text)
{
    return {.bars = bars,
            .chart = bar_chart_frame(bars, text),
            .slot_count = [](const job_t &) { return static_cast<int>(std::size(checker_names)); },
            .slot_text = [](const job_t &, int i, char *slot, size_t size) {
                snprintf(slot, size, "%s", checker_names[i]);
            }};
}
