// HDR grayscale ΔE ICtCp chart: under the ΔE2000 chart, the ΔE ITP / 3 of the
// same slots, passing at an average of 2.0.
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"

#include "charts/hdr/hdr_gray_bar_chart.h"

namespace {
constinit bar_chart chart{hdr_gray_def(HDR_GRAY_DEITP_BARS, " dE ICTCP_240 --- Grayscale")};
}

canvas_t *draw_hdr_gray_dEITP_canvas(const job_t &job) { return chart.build(job); }
rect_t get_hdr_gray_dEITP_pillar_coord(const job_t &job, int i, float v) { return chart.pillar(job, i, v); }
