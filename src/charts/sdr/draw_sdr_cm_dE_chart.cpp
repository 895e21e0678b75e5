// SDR gamut dE chart: CIEDE2000 bars of white, the primaries and the
// secondaries, guide lines at dE 3, 5 and 10 and the verdict on the largest.
#include "charts/sdr/draw_sdr_cm_dE_chart.h"

#include <cstdio>
#include <iterator>

#include "charts/bar_chart.h"
#include "measure/patch_names.h"

namespace {

constexpr bar_guide_t GUIDES[] = {{3, 0, 200, 0}, {5, 200, 200, 0}, {10, 200, 0, 0}};

constinit bar_chart chart{{
    .bars = SDR_GAMUT_DE_BARS,
    .chart = bar_chart_frame("draw_sdr_cm_dE_canvas", SDR_GAMUT_DE_BARS, " dE 2000 --- Gamut"),
    .verdict = SDR_GAMUT_DE2000_MAX,
    .slot_count = [] { return static_cast<int>(std::size(gamut_names)); },
    .slot_text = [](int i, char *text, size_t size) { snprintf(text, size, "%s", gamut_names[i]); },
    .guides = GUIDES,
}};

}  // namespace

canvas_t *draw_sdr_cm_dE_canvas() { return chart.build(); }
void get_sdr_cm_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { chart.pillar(i, v, x, y, w, h); }
void draw_sdr_cm_dE_avg(canvas_t *canvas, const verdict_t &v) { chart.verdict(canvas, v); }
