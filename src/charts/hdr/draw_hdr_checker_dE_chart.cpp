// HDR colour checker chart: the ΔE ITP / 3 of the 18 patches along the
// bottom of the page, passing at an average of 2.0.
#include "charts/hdr/draw_hdr_checker_dE_chart.h"

#include "charts/checker_chart.h"

namespace {
constinit bar_chart chart{
    checker_def("draw_hdr_checker_dE_canvas", HDR_CHECKER_BARS, " dE ICTCP_240 --- Color Checker", HDR_CHECKER_DEICTCP_AVG)};
}

canvas_t *draw_hdr_checker_dE_canvas() { return chart.build(); }
void get_hdr_checker_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_hdr_checker_dE_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
