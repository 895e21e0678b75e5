// SDR colour checker chart: the ΔE2000 of the 18 patches along the bottom of
// the page, passing at an average of 1.5.
#include "charts/sdr/draw_sdr_checker_dE_chart.h"

#include "charts/checker_chart.h"

namespace {
constinit bar_chart chart{checker_def("draw_sdr_checker_dE_canvas", SDR_CHECKER_BARS, " dE 2000 --- Color Checker", SDR_CHECKER_DE2000_AVG)};
}

canvas_t *draw_sdr_checker_dE_canvas() { return chart.build(); }
void get_sdr_checker_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_sdr_checker_dE_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
