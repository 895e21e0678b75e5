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

constexpr bar_chart_def_t hdr_gray_def(const char *function, int32_t y, const char *text, verdict_id verdict)
{
    return {{function, 520, y, 680.0f, 266.0f, 1, 6, nullptr, 680, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            verdict,
            hdr_gray_slot_count,
            hdr_gray_signal_percent};
}

