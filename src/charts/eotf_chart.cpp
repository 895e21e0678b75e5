#include "charts/eotf_chart.h"

#include <cstdio>

#include "charts/geometry/eotf_geometry.h"

void draw_signal_ticks(canvas_t *canvas, int steps)
{
    const plot_t p = plot_of(*canvas);
    const int bottom = plot_bottom(p);
    for (int i = 0; i <= steps; ++i) {
        const signal_tick_t t = signal_tick(p, steps, i);
        draw_x_tick(canvas, t.x, bottom, bottom - 5);
        char text[50] = {0};
        snprintf(text, sizeof text, "<align=center font_size=12> %d", 10 * i);
        draw_x_tick_label(canvas, text, t.label_x, bottom, t.label_width, 20);
    }
}
