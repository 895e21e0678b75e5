#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"

#include "charts/hdr/hdr_gray_bar_chart.h"

namespace {

constexpr bar_chart_def_t def =
    hdr_gray_bar_def("draw_hdr_gray_dEITP_canvas", 426, " dE ICTCP_240 --- Grayscale", 2.0f);
bar_chart_t chart;

}  // namespace

canvas_t *draw_hdr_gray_dEITP_canvas()
{
    return build_hdr_gray_bar_chart(chart, def);
}

void get_hdr_gray_dEITP_pillar_coord(int i, float v, int *x, int *y, int *w, int *h)
{
    hdr_gray_pillar_coord(chart, def, i, v, x, y, w, h);
}

void draw_hdr_gray_dEITP_avg(float average)
{
    draw_bar_verdict(chart, def, average);
}
