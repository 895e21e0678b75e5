// SDR grayscale dE chart: one CIEDE2000 bar per grayscale patch, labelled
// with the patch's signal in percent, a guide line at dE 3 and the verdict on
// the average.
#include "charts/sdr/draw_sdr_gray_dE_chart.h"

#include <cstdio>

#include "config/reference.h"
#include "draw/draw_basic.h"
#include "measure/measure.h"

namespace {

chart_records_t rec;
float max_val_y = 12.0f;  // the chart value already, so bars map finitely before construction
float min_val_y = 0.0f;
float max_val_x = 0.0f;
float min_val_x = 0.0f;

// Bar places: n + 1 bars of two units with one-unit gaps around them.
float unit = 0.0f;

constexpr float BAR_CAP = 10.0f;
constexpr int PLOT_BOTTOM = 270;

// Index of the last bar: the grayscale step count, kept within the store.
int last_bar()
{
    const int n = reference != nullptr ? reference->gray_steps : 10;
    if (n < 0)
        return 0;
    return n < GRAY_MAX ? n : GRAY_MAX - 1;
}

// A signal in whole percent; absurd signals of a malformed file stay
// printable.
int signal_percent(float signal)
{
    double pct = signal * 100.0 + 0.5;
    if (!(pct > -1e6))
        pct = -1e6;
    if (pct > 1e6)
        pct = 1e6;
    return static_cast<int>(pct);
}

// Left edge of bar i before rounding.
float bar_left(int i)
{
    return 1040.0f + 2.0f * unit * static_cast<float>(i) + unit * static_cast<float>(i + 1);
}

}  // namespace

canvas_t *draw_sdr_gray_dE_canvas()
{
    max_val_y = 12.0f;
    min_val_y = 0.0f;
    max_val_x = flag_super_white ? 1.1f : 1.0f;
    min_val_x = 0.0f;
    static constexpr chart_def_t def = {
        .function = "draw_sdr_gray_dE_canvas",
        .x = 1040,
        .y = 60,
        .width = 860.0f,
        .height = 210.0f,
        .x_grid_count = 1,
        .y_grid_count = 6,
        .bg_image = nullptr,
        .title_width = 860,
        .icon = "/usr/local/app/image/icon_dE.png",
        .text = " dE 2000 --- Grayscale",
        .left = {12.0f, 2.0f, 2},
        .down = {1.0f, 1.0f, 5},
    };
    canvas_t *canvas = build_chart_canvas(rec, def);
    if (canvas == nullptr)
        return nullptr;

    const int n = last_bar();
    unit = static_cast<float>(860.0 / (3 * n + 4));

    const int yg = static_cast<int>(60.0 + (max_val_y - 3.0) / max_val_y * 210.0 + 0.5);
    draw_guide_line(canvas, canvas->x + 40, static_cast<int>(canvas->x + canvas->width - 40.0), yg, 0, 200, 0);

    // Signal labels under the bars and ticks in the middle of the gaps.
    const int b = static_cast<int>(static_cast<float>(canvas->y) + canvas->height);
    for (int i = 0; i <= n; ++i) {
        char text[48];
        snprintf(text, sizeof text, "<align=center font_size=12> %d", signal_percent(data_gray[i].c.ts0));
        const int xi = static_cast<int>(bar_left(i) - 0.5f * unit + 0.5);
        if (!draw_x_tick_label(canvas, text, xi - 2, b, static_cast<int>(3.0f * unit), 15))
            return canvas;
        draw_x_tick(canvas, xi, b, b + 5);
    }
    const int last = static_cast<int>(1900.0 - 0.5 * unit + 0.5);
    draw_x_tick(canvas, last, b, b + 5);
    return canvas;
}

void get_sdr_gray_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h)
{
    // Bars stop at dE 10, below the top of the scale; not-a-number shows as 0.
    if (v > BAR_CAP)
        v = BAR_CAP;
    if (!(v >= min_val_y))
        v = min_val_y;
    *x = static_cast<int>(bar_left(i) + 0.5);
    *y = static_cast<int>(60.0 + (static_cast<double>(max_val_y) - v) / max_val_y * 210.0 + 0.5);
    *w = static_cast<int>(2.0f * unit + 0.5);
    *h = PLOT_BOTTOM - *y;
}

void draw_sdr_gray_dE_avg(float avg)
{
    draw_verdict(rec.canvas, "Grayscale Avg dE: ", avg, avg <= 1.5f);
}
