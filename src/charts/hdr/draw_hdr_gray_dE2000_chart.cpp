#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"

#include "charts/hdr/hdr_gray_bar_chart.h"

namespace {

constinit bar_chart chart{hdr_gray_bar_def("draw_hdr_gray_dE2000_canvas", 80, " dE 2000 --- Grayscale", 1.5f)};

}  // namespace

canvas_t *draw_hdr_gray_dE2000_canvas() { return chart.build(); }
void get_hdr_gray_dE2000_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_hdr_gray_dE2000_avg(float average) { chart.verdict(average); }
