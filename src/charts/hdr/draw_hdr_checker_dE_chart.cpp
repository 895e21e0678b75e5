// HDR colour checker chart: the ΔE ITP / 3 of the 18 patches along the
// bottom of the page, passing at an average of 2.0.
#include "charts/hdr/draw_hdr_checker_dE_chart.h"

#include "charts/checker_chart.h"

namespace {
constinit bar_chart chart{
    checker_def(HDR_CHECKER_BARS, " dE ICTCP_240 --- Color Checker")};
}

canvas_t *draw_hdr_checker_dE_canvas(const job_t &job) { return chart.build(job); }
rect_t get_hdr_checker_dE_pillar_coord(const job_t &job, int i, float v) { return chart.pillar(job, i, v); }
