// HDR grayscale ΔE2000 chart: the upper left chart of the HDR report,
// passing at an average of 1.5.
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"

#include "charts/hdr/hdr_gray_bar_chart.h"

namespace {
constinit bar_chart chart{hdr_gray_def(HDR_GRAY_DE2000_BARS, " dE 2000 --- Grayscale")};
}

canvas_t *draw_hdr_gray_dE2000_canvas(const job_t &job) { return chart.build(job); }
rect_t get_hdr_gray_dE2000_pillar_coord(const job_t &job, int i, float v) { return chart.pillar(job, i, v); }
