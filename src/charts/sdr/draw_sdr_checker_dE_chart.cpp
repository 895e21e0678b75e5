#include "charts/sdr/draw_sdr_checker_dE_chart.h"

#include "charts/checker_chart.h"

namespace {

constexpr bar_chart_def_t def =
    checker_chart_def("draw_sdr_checker_dE_canvas", 850, 210.0f, " dE 2000 --- Color Checker", 1.5f);
bar_chart_t chart;

}  // namespace

canvas_t *draw_sdr_checker_dE_canvas()
{
    return build_checker_chart(chart, def);
}

void get_sdr_checker_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h)
{
    checker_pillar_coord(chart, def, i, v, x, y, w, h);
}

void draw_sdr_checker_dE_avg(float average)
{
    draw_bar_verdict(chart, def, average);
}
