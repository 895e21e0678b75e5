// SDR grayscale dE chart: one CIEDE2000 bar per grayscale patch, labelled
// with the patch's signal in percent, a guide line at dE 3 and the verdict on
// the average.
#include "charts/sdr/draw_sdr_gray_dE_chart.h"

#include <cstdio>

#include "charts/bar_chart.h"
#include "config/reference.h"
#include "measure/measure.h"

namespace {

// One bar per stored grayscale patch: the step count plus one, within the
// store (11 bars before any patch is stored).
int bar_count()
{
    const int n = reference != nullptr ? reference->gray_steps : 10;
    if (n < 0)
        return 1;
    return n < GRAY_MAX ? n + 1 : GRAY_MAX;
}

// The signal of patch i in whole percent, rounded in double precision.
void signal_percent(int i, char *text, size_t size)
{
    snprintf(text, size, "%d", signal_percent_double(data_gray[i].c.ts0));
}

constinit bar_chart chart{{
    .bars = SDR_GRAY_DE_BARS,
    .chart = bar_chart_frame("draw_sdr_gray_dE_canvas", SDR_GRAY_DE_BARS, " dE 2000 --- Grayscale"),
    .verdict = SDR_GRAY_DE2000_AVG,
    .slot_count = bar_count,
    .slot_text = signal_percent,
}};

}  // namespace

canvas_t *draw_sdr_gray_dE_canvas() { return chart.build(); }
void get_sdr_gray_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_sdr_gray_dE_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
