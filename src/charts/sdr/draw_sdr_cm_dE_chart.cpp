// SDR gamut dE chart: CIEDE2000 bars of white, the primaries and the
// secondaries, guide lines at dE 3, 5 and 10 and the verdict on the largest.
#include "charts/sdr/draw_sdr_cm_dE_chart.h"

#include <array>
#include <cstdio>

#include "draw/draw_basic.h"

namespace {

chart_records_t rec;
int32_t max_val = 12;  // the chart value already, so bars map finitely before construction
int32_t min_val = 0;

// In the order of the gamut records.
constexpr std::array<const char *, 7> COLOR_NAMES = {"White", "Red", "Green", "Blue", "Cyan", "Magenta", "Yellow"};

// The 500-pixel plot in 22 units: 45-pixel bars with one-unit gaps.
constexpr float TWO_UNITS = 45.454544f;
constexpr float UNIT = 22.727272f;
constexpr float HALF_UNIT = 11.363636f;
constexpr int BAR_WIDTH = 45;
constexpr float BAR_CAP = 10.0f;
constexpr int PLOT_BOTTOM = 270;
constexpr int CLOSING_TICK_X = 1009;

struct guide_t {
    int k;
    int r, g, b;
};
constexpr std::array<guide_t, 3> GUIDES = {{{3, 0, 200, 0}, {5, 200, 200, 0}, {10, 200, 0, 0}}};

// Left edge of bar i before rounding.
float bar_left(int i)
{
    return 520.0f + TWO_UNITS * static_cast<float>(i) + UNIT * static_cast<float>(i + 1);
}

int value_y(double v)
{
    return static_cast<int>(60.0 + (max_val - v) / max_val * 210.0 + 0.5);
}

}  // namespace

canvas_t *draw_sdr_cm_dE_canvas()
{
    max_val = 12;
    min_val = 0;
    static constexpr chart_def_t def = {
        .function = "draw_sdr_cm_dE_canvas",
        .x = 520,
        .y = 60,
        .width = 500.0f,
        .height = 210.0f,
        .x_grid_count = 1,
        .y_grid_count = 6,
        .bg_image = nullptr,
        .title_width = 500,
        .icon = "/usr/local/app/image/icon_dE.png",
        .text = " dE 2000 --- Gamut",
        .left = {12.0f, 2.0f, 2},
        .down = {1.0f, 1.0f, 5},
    };
    canvas_t *canvas = build_chart_canvas(rec, def);
    if (canvas == nullptr)
        return nullptr;

    const int x1 = static_cast<int>(canvas->x + canvas->width - 40.0);
    for (const guide_t &g : GUIDES)
        draw_guide_line(canvas, canvas->x + 40, x1, value_y(g.k), g.r, g.g, g.b);

    // Colour names under the bars and ticks in the middle of the gaps.
    const int b = static_cast<int>(static_cast<float>(canvas->y) + canvas->height);
    for (int i = 0; i < static_cast<int>(COLOR_NAMES.size()); ++i) {
        char text[48];
        snprintf(text, sizeof text, "<align=center font_size=12> %s", COLOR_NAMES[i]);
        const int xi = static_cast<int>(bar_left(i) - HALF_UNIT + 0.5);
        if (!draw_x_tick_label(canvas, text, xi - 2, b, 68, 15))
            return canvas;
        draw_x_tick(canvas, xi, b, b + 5);
    }
    draw_x_tick(canvas, CLOSING_TICK_X, b, b + 5);
    return canvas;
}

void get_sdr_cm_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h)
{
    // Bars stop at dE 10, below the top of the scale; not-a-number shows as 0.
    if (v > BAR_CAP)
        v = BAR_CAP;
    if (!(v >= static_cast<float>(min_val)))
        v = static_cast<float>(min_val);
    *x = static_cast<int>(bar_left(i) + 0.5);
    *y = value_y(v);
    *w = BAR_WIDTH;
    *h = PLOT_BOTTOM - *y;
}

void draw_sdr_cm_dE_avg(float max)
{
    draw_verdict(rec.canvas, "dE 2000 Max: ", max, max <= 2.5f);
}
