// SDR colour checker chart: the ΔE2000 of the 18 patches along the bottom of
// the page, passing at an average of 1.5.
#include "charts/sdr/draw_sdr_checker_dE_chart.h"

#include "charts/checker_chart.h"

namespace {
constinit bar_chart chart{checker_def(SDR_CHECKER_BARS, " dE 2000 --- Color Checker")};
}

canvas_t *draw_sdr_checker_dE_canvas(const job_t &job) { return chart.build(job); }
rect_t get_sdr_checker_dE_pillar_coord(const job_t &job, int i, float v) { return chart.pillar(job, i, v); }
