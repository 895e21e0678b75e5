// SDR grayscale dE chart: one CIEDE2000 bar per grayscale patch, labelled
// with the patch's signal in percent, and a guide line at dE 3.
#include "charts/sdr/draw_sdr_gray_dE_chart.h"

#include <cstdio>

#include "charts/bar_chart.h"

namespace {

// One bar per grayscale patch of the job, none without any.
int bar_count(const job_t &job)
{
    const int n = job.store.gray_count;
    return n < 0 ? 0 : n < GRAY_MAX ? n : GRAY_MAX;
}

// The signal of patch i in whole percent, rounded in double precision.
void signal_percent(const job_t &job, int i, char *text, size_t size)
{
    snprintf(text, size, "%d", signal_percent_double(job.store.gray[i].c.ts0));
}

constinit bar_chart chart{{
    .bars = SDR_GRAY_DE_BARS,
    .chart = bar_chart_frame(SDR_GRAY_DE_BARS, " dE 2000 --- Grayscale"),
    .slot_count = bar_count,
    .slot_text = signal_percent,
}};

}  // namespace

canvas_t *draw_sdr_gray_dE_canvas(const job_t &job) { return chart.build(job); }
rect_t get_sdr_gray_dE_pillar_coord(const job_t &job, int i, float v) { return chart.pillar(job, i, v); }
