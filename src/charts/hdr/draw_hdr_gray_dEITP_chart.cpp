// HDR grayscale ΔE ICtCp chart: under the ΔE2000 chart, the ΔE ITP / 3 of the
// same slots, passing at an average of 2.0.
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"

#include "charts/hdr/hdr_gray_bar_chart.h"

namespace {
constinit bar_chart chart{hdr_gray_def("draw_hdr_gray_dEITP_canvas", HDR_GRAY_DEITP_BARS, " dE ICTCP_240 --- Grayscale", HDR_GRAY_DEICTCP_AVG)};
}

canvas_t *draw_hdr_gray_dEITP_canvas() { return chart.build(); }
void get_hdr_gray_dEITP_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_hdr_gray_dEITP_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
