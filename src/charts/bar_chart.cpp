#include "charts/bar_chart.h"

#include <cstdio>

#include "charts/pixel.h"
#include "draw/draw_basic.h"

namespace {

constexpr int32_t SCALE_MAX = 12;
constexpr int32_t SCALE_MIN = 0;
constexpr float PILLAR_CAP = 10.0f;

// The width of one unit for n slots.
float unit(const chart_def_t &c, int n)
{
    return static_cast<float>(static_cast<double>(c.width) / (3 * n + 1));
}

float pillar_left(const chart_def_t &c, int i, float u)
{
    return static_cast<float>(c.x) + i * (2 * u) + (i + 1) * u;
}

}  // namespace

// The y of a value whose distance from the top of the scale is `difference`.
int bar_chart::value_top(double difference) const
{
    return px_round(def_.chart.y + difference / SCALE_MAX * def_.chart.height);
}

canvas_t *bar_chart::build() const
{
    const chart_def_t &c = def_.chart;
    canvas_t *canvas = build_chart_canvas(c);
    if (canvas == nullptr)
        return nullptr;
    const int x1 = static_cast<int>(canvas->x + canvas->width - 40);
    for (const bar_guide_t &g : def_.guides)
        draw_guide_line(canvas, canvas->x + 40, x1, value_top(SCALE_MAX - g.value), g.r, g.g, g.b);

    const int n = def_.slot_count();
    const float u = unit(c, n);
    const int bottom = static_cast<int>(c.y + c.height);
    for (int i = 0; i < n; ++i) {
        char value[24] = {0};
        def_.slot_text(i, value, sizeof value);
        char text[50] = {0};
        snprintf(text, sizeof text, "<align=center font_size=12> %s", value);
        const int boundary = px_round(pillar_left(c, i, u) - u / 2);
        if (!draw_x_tick_label(canvas, text, boundary - 2, bottom, static_cast<int>(u + 2 * u), 15))
            return canvas;
        draw_x_tick(canvas, boundary, bottom, bottom + 5);
    }
    draw_x_tick(canvas, px_round(c.x + c.width - u / 2), bottom, bottom + 5);
    return canvas;
}

void bar_chart::pillar(int i, float v, int *x, int *y, int *w, int *h) const
{
    const chart_def_t &c = def_.chart;
    v = clamp_scale(v, SCALE_MIN, PILLAR_CAP);
    const double difference =
        def_.double_difference ? SCALE_MAX - static_cast<double>(v) : static_cast<double>(SCALE_MAX - v);
    const float u = unit(c, def_.slot_count());
    *x = px_round(pillar_left(c, i, u));
    *y = value_top(difference);
    *w = px_round(2 * u);
    *h = static_cast<int>(c.y + c.height) - *y;
}

void bar_chart::verdict(canvas_t *canvas, const verdict_t &v) const
{
    draw_verdict(canvas, def_.verdict, v);
}
