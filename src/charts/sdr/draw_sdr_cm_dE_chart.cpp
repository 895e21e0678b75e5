// SDR gamut dE chart: CIEDE2000 bars of white, the primaries and the
// secondaries and guide lines at dE 3, 5 and 10.
#include "charts/sdr/draw_sdr_cm_dE_chart.h"

#include <cstdio>
#include <iterator>

#include "charts/bar_chart.h"
#include "measure/patch_names.h"

namespace {

constexpr bar_guide_t GUIDES[] = {{3, 0, 200, 0}, {5, 200, 200, 0}, {10, 200, 0, 0}};

constinit bar_chart chart{{
    .bars = SDR_GAMUT_DE_BARS,
    .chart = bar_chart_frame(SDR_GAMUT_DE_BARS, " dE 2000 --- Gamut"),
    .slot_count = [](const job_t &) { return static_cast<int>(std::size(gamut_names)); },
    .slot_text = [](const job_t &, int i, char *text, size_t size) { snprintf(text, size, "%s", gamut_names[i]); },
    .guides = GUIDES,
}};

}  // namespace

canvas_t *draw_sdr_cm_dE_canvas(const job_t &job) { return chart.build(job); }
rect_t get_sdr_cm_dE_pillar_coord(const job_t &job, int i, float v) { return chart.pillar(job, i, v); }
