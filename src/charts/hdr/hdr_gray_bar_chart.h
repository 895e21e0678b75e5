// The two grayscale bar charts of the HDR report (ΔE2000 and ΔE ICtCp): one
// slot per grayscale patch below the PQ clip level, labelled with its test
// signal in percent. The twins differ only in their vertical place and title.
#pragma once
#include <cstddef>

#include "charts/bar_chart.h"

// The job's HDR pillar count, within what the grayscale store holds.
int hdr_gray_slot_count(const job_t &job);
// The test signal of grayscale patch i in percent, rounded in single precision.
void hdr_gray_signal_percent(const job_t &job, int i, char *text, size_t size);

constexpr bar_chart_def_t hdr_gray_def(const bar_layout_t &bars, const char *text)
{
    return {.bars = bars,
            .chart = bar_chart_frame(bars, text),
            .slot_count = hdr_gray_slot_count,
            .slot_text = hdr_gray_signal_percent};
}

