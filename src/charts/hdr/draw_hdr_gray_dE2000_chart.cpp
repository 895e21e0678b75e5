// HDR grayscale ΔE2000 chart: the upper left chart of the HDR report,
// passing at an average of 1.5.
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"

#include "charts/hdr/hdr_gray_bar_chart.h"

namespace {
constinit bar_chart chart{hdr_gray_def("draw_hdr_gray_dE2000_canvas", HDR_GRAY_DE2000_BARS, " dE 2000 --- Grayscale", HDR_GRAY_DE2000_AVG)};
}

canvas_t *draw_hdr_gray_dE2000_canvas() { return chart.build(); }
void get_hdr_gray_dE2000_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_hdr_gray_dE2000_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
