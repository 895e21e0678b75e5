#include "charts/eotf_chart.h"

#include <cstdio>

#include "charts/pixel.h"

void draw_signal_ticks(canvas_t *canvas, int steps)
{
    const float step = canvas->width / steps;
    const int bottom = static_cast<int>(canvas->y + canvas->height);
    for (int i = 0; i <= steps; ++i) {
        const int x = px_round(canvas->x + step * i);
        draw_x_tick(canvas, x, bottom, bottom - 5);
        char text[50] = {0};
        snprintf(text, sizeof text, "<align=center font_size=12> %d", 10 * i);
        draw_x_tick_label(canvas, text, static_cast<int>(x - step / 2 - 0.5), bottom, static_cast<int>(step), 20);
    }
}
