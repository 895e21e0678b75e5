#include "charts/bar_chart.h"

#include "charts/pixel.h"
#include "draw/draw_basic.h"

namespace {

constexpr int32_t SCALE_MAX = 12;
constexpr int32_t SCALE_MIN = 0;
constexpr int32_t THRESHOLD = 3;
constexpr float PILLAR_CAP = 10.0f;

}  // namespace

canvas_t *build_bar_chart(bar_chart_t &chart, const bar_chart_def_t &def, void (*draw_slots)(canvas_t *, int))
{
    chart.max_val = SCALE_MAX;
    chart.min_val = SCALE_MIN;
    canvas_t *canvas = build_chart_canvas(chart.records, def.chart);
    if (canvas == nullptr)
        return nullptr;
    const int y = px_round(def.chart.y + static_cast<double>(chart.max_val - THRESHOLD) / chart.max_val *
                                             def.chart.height);
    draw_guide_line(canvas, canvas->x + 40, static_cast<int>(canvas->x + canvas->width - 40), y, 0, 200, 0);
    draw_slots(canvas, static_cast<int>(def.chart.y + def.chart.height));
    return canvas;
}

bool draw_bar_slot(canvas_t *canvas, const char *markup, int boundary, int bottom, int label_width)
{
    if (!draw_x_tick_label(canvas, markup, boundary - 2, bottom, label_width, 15))
        return false;
    draw_x_tick(canvas, boundary, bottom, bottom + 5);
    return true;
}

void bar_pillar_rect(const bar_chart_t &chart, const bar_chart_def_t &def, float v, int left, int width, int *x,
                     int *y, int *w, int *h)
{
    if (v > PILLAR_CAP)
        v = PILLAR_CAP;
    if (!(v >= chart.min_val))
        v = static_cast<float>(chart.min_val);
    const float diff = chart.max_val - v;
    const int top = px_round(def.chart.y + static_cast<double>(diff) / chart.max_val * def.chart.height);
    *x = left;
    *y = top;
    *w = width;
    *h = static_cast<int>(def.chart.y + def.chart.height) - top;
}

void draw_bar_verdict(const bar_chart_t &chart, const bar_chart_def_t &def, float average)
{
    draw_verdict(chart.records.canvas, def.caption, average, average <= def.pass_limit);
}
