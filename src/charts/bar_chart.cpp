#include "charts/bar_chart.h"

#include <cstdio>

#include "draw/draw_basic.h"

canvas_t *bar_chart::build() const
{
    const plot_t &p = def_.chart.plot;
    canvas_t *canvas = build_chart_canvas(def_.chart);
    if (canvas == nullptr)
        return nullptr;
    for (const bar_guide_t &g : def_.guides)
        draw_guide_line(canvas, guide_left(p), guide_right(p), guide_y(p, g.value), g.r, g.g, g.b);

    const int n = def_.slot_count();
    const float u = bar_unit(p.width, n);
    const int bottom = plot_bottom(p);
    for (int i = 0; i < n; ++i) {
        char value[24] = {0};
        def_.slot_text(i, value, sizeof value);
        char text[50] = {0};
        snprintf(text, sizeof text, "<align=center font_size=12> %s", value);
        const int boundary = slot_boundary(p.x, i, u);
        if (!draw_x_tick_label(canvas, text, boundary - 2, bottom, slot_label_width(u), 15))
            return canvas;
        draw_x_tick(canvas, boundary, bottom, bottom + 5);
    }
    draw_x_tick(canvas, closing_boundary(p, u), bottom, bottom + 5);
    return canvas;
}

void bar_chart::pillar(int i, float v, int *x, int *y, int *w, int *h) const
{
    const rect_t r = pillar_rect(def_.bars, def_.slot_count(), i, v);
    *x = r.x;
    *y = r.y;
    *w = r.w;
    *h = r.h;
}

void bar_chart::verdict(canvas_t *canvas, const verdict_t &v) const
{
    draw_verdict(canvas, def_.verdict, v);
}
