// The two grayscale bar charts of the HDR report (ΔE2000 and ΔE ICtCp): one
// slot per grayscale patch below the PQ clip level, labelled with its test
// signal in percent. The twins differ only in their vertical place, title and
// the verdict shown.
#pragma once
#include <cstddef>

#include "charts/bar_chart.h"

// hdr_gray_pillar_count, within what the grayscale store holds.
int hdr_gray_slot_count();
// The test signal of grayscale patch i in percent, rounded in single precision.
void hdr_gray_signal_percent(int i, char *text, size_t size);

constexpr bar_chart_def_t hdr_gray_def(const char *function, const bar_layout_t &bars, const char *text,
                                       verdict_id verdict)
{
    return {.bars = bars,
            .chart = bar_chart_frame(function, bars, text),
            .verdict = verdict,
            .slot_count = hdr_gray_slot_count,
            .slot_text = hdr_gray_signal_percent};
}

