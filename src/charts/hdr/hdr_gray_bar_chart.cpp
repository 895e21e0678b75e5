#include "charts/hdr/hdr_gray_bar_chart.h"

#include <cstdio>

#include "charts/pixel.h"
#include "draw/draw_basic.h"
#include "measure/measure.h"

namespace {

// Fixed horizontal numbers: left and right edge of the plot and its width.
constexpr float LEFT = 520.0f;
constexpr float RIGHT = 1200.0f;
constexpr double WIDTH = 680.0;

// The number of slots; never more than the grayscale store holds.
int slot_count()
{
    if (hdr_gray_pillar_count < 0)
        return 0;
    return hdr_gray_pillar_count > GRAY_MAX ? GRAY_MAX : hdr_gray_pillar_count;
}

// The plot width in 3n + 1 units: each slot is three units wide, its pillar
// two of them with one unit free on its left.
float unit(int n)
{
    return static_cast<float>(WIDTH / (3 * n + 1));
}

float pillar_left(int i, float u)
{
    return LEFT + i * (2 * u) + (i + 1) * u;
}

// Slot labels and ticks under the plot; a label that cannot be made ends
// them, closing tick included.
void draw_extra(canvas_t *canvas, int bottom)
{
    const int n = slot_count();
    const float u = unit(n);
    const int label_width = static_cast<int>(u + 2 * u);
    for (int i = 0; i < n; ++i) {
        char text[50] = {0};
        const int percent = px_round(data_gray[i].c.ts0 * 100.0f);
        snprintf(text, sizeof text, "<align=center font_size=12> %d", percent);
        if (!draw_bar_slot(canvas, text, px_round(pillar_left(i, u) - u / 2), bottom, label_width))
            return;
    }
    draw_x_tick(canvas, px_round(RIGHT - u / 2), bottom, bottom + 5);
}

}  // namespace

canvas_t *build_hdr_gray_bar_chart(bar_chart_t &chart, const bar_chart_def_t &def)
{
    return build_bar_chart(chart, def, draw_extra);
}

void hdr_gray_pillar_coord(const bar_chart_t &chart, const bar_chart_def_t &def, int i, float v, int *x, int *y,
                           int *w, int *h)
{
    const float u = unit(slot_count());
    bar_pillar_rect(chart, def, v, px_round(pillar_left(i, u)), px_round(2 * u), x, y, w, h);
}
