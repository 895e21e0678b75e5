#include "charts/checker_chart.h"

#include <cstdio>

#include "charts/pixel.h"
#include "draw/draw_basic.h"

namespace {

constexpr int SLOTS = 18;

// The plot width 1880 in 55 units: each slot is three units wide, its pillar
// two of them.
constexpr float TWO_UNITS = 68.36364f;
constexpr float UNIT = 34.18182f;
constexpr float HALF_UNIT = 17.09091f;
constexpr int PILLAR_WIDTH = 68;
constexpr int NAME_WIDTH = 102;
constexpr int CLOSING_TICK = 1883;

constexpr char names[SLOTS][20] = {
    "Dark Skin",  "Light Skin",   "Blue Sky",      "Foliage",      "Blue Flower", "Bluish Green",
    "Orange",     "Purplish Blue", "Moderate Red", "Purple",       "Yellow Green", "Orange Yellow",
    "Blue",       "Green",        "Red",           "Yellow",       "Magenta",     "Cyan",
};

float pillar_left(int i)
{
    return 20 + i * TWO_UNITS + (i + 1) * UNIT;
}

// Slot names and ticks under the plot; a label that cannot be made ends them.
void draw_extra(canvas_t *canvas, int bottom)
{
    for (int i = 0; i < SLOTS; ++i) {
        char text[50] = {0};
        snprintf(text, sizeof text, "<align=center font_size=12> %s", names[i]);
        if (!draw_bar_slot(canvas, text, px_round(pillar_left(i) - HALF_UNIT), bottom, NAME_WIDTH))
            return;
    }
    draw_x_tick(canvas, CLOSING_TICK, bottom, bottom + 5);
}

}  // namespace

canvas_t *build_checker_chart(bar_chart_t &chart, const bar_chart_def_t &def)
{
    return build_bar_chart(chart, def, draw_extra);
}

void checker_pillar_coord(const bar_chart_t &chart, const bar_chart_def_t &def, int i, float v, int *x, int *y,
                          int *w, int *h)
{
    bar_pillar_rect(chart, def, v, px_round(pillar_left(i)), PILLAR_WIDTH, x, y, w, h);
}
