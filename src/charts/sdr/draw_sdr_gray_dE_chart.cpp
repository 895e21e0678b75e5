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

// The signal of patch i in whole percent, rounded in double precision;
// absurd signals of a malformed file stay printable.
void signal_percent(int i, char *text, size_t size)
{
    double pct = data_gray[i].c.ts0 * 100.0 + 0.5;
    if (!(pct > -1e6))
        pct = -1e6;
    if (pct > 1e6)
        pct = 1e6;
    snprintf(text, size, "%d", static_cast<int>(pct));
}

constinit bar_chart chart{{{"draw_sdr_gray_dE_canvas", 1040, 60, 860.0f, 210.0f, 1, 6, nullptr, 860,
                            "/usr/local/app/image/icon_dE.png", " dE 2000 --- Grayscale", {12.0f, 2.0f, 2},
                            {1.0f, 1.0f, 5}},
                           SDR_GRAY_DE2000_AVG,
                           bar_count,
                           signal_percent,
                           THRESHOLD_GUIDE,
                           true}};

}  // namespace

canvas_t *draw_sdr_gray_dE_canvas() { return chart.build(); }
void get_sdr_gray_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_sdr_gray_dE_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
