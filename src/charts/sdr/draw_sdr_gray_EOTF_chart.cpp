// SDR grayscale EOTF chart: measured luminance (as a PQ signal) against the
// input signal, with the expected curve of the target and the total-gamma
// verdict.
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"

#include <cmath>
#include <cstdio>

#include "color/color.h"
#include "config/reference.h"
#include "draw/draw_basic.h"
#include "measure/measure.h"

namespace {

chart_records_t rec;
float max_val_y = 0.0f;
float min_val_y = 0.0f;
float max_val_x = 0.0f;
float min_val_x = 0.0f;

// Fixed plot geometry used by the data mapping.
constexpr float PLOT_X = 1040.0f;
constexpr float PLOT_Y = 330.0f;
constexpr float PLOT_W = 860.0f;
constexpr float PLOT_H = 460.0f;

constexpr uint8_t CURVE_COLOUR[3] = {120, 120, 120};

// Share of an axis span; an empty span maps everything onto its start.
float span_ratio(float part, float span)
{
    return span > 0.0f ? part / span : 0.0f;
}

// v bounded to [lo, hi]; not-a-number counts as lo.
float clamp_value(float v, float lo, float hi)
{
    if (v > hi)
        v = hi;
    if (!(v >= lo))
        v = lo;
    return v;
}

// The y range ends at the next tenth above the white's PQ value, with
// headroom for a super-white patch, and never above 1.0.
void set_scale()
{
    max_val_y = static_cast<float>((static_cast<double>(max_val_y) - min_val_y) / 0.1 * 0.1);
    min_val_y = 0.0f;
    min_val_x = 0.0f;
    max_val_x = flag_super_white ? 1.1f : 1.0f;
    if (reference == nullptr || !(reference->max_E > 0.0f))
        return;
    const float a = flag_super_white ? 2.0f : 1.5f;
    const int t = static_cast<int>(a + reference->max_E * 10.0f);
    const double v = t / 10.0;
    max_val_y = v > 1.0 ? 1.0f : static_cast<float>(v);
    printf("max_val_y = %f\r\n", static_cast<double>(max_val_y));
}

// Signal ticks under the plot, labelled in percent.
void draw_signal_ticks(canvas_t *canvas)
{
    const int n = flag_super_white ? 11 : 10;
    const float s = canvas->width / static_cast<float>(n);
    const int b = static_cast<int>(static_cast<float>(canvas->y) + canvas->height);
    for (int i = 0; i <= n; ++i) {
        const int xi = static_cast<int>(static_cast<float>(canvas->x) + s * static_cast<float>(i) + 0.5);
        draw_x_tick(canvas, xi, b, b - 5);
        char text[48];
        snprintf(text, sizeof text, "<align=center font_size=12> %d", 10 * i);
        draw_x_tick_label(canvas, text, static_cast<int>(xi - s * 0.5 - 0.5), b, static_cast<int>(s), 20);
    }
}

}  // namespace

canvas_t *draw_sdr_gray_EOTF_canvas()
{
    set_scale();
    const chart_def_t def = {
        .function = "draw_sdr_gray_EOTF_canvas",
        .x = 1040,
        .y = 330,
        .width = PLOT_W,
        .height = PLOT_H,
        .x_grid_count = 1,
        .y_grid_count = static_cast<uint8_t>(std::lround((static_cast<double>(max_val_y) - min_val_y) / 0.1)),
        .bg_image = "/usr/local/app/image/bg_trans.png",
        .title_width = 860,
        .icon = "/usr/local/app/image/icon_luma.png",
        .text = " EOTF --- Grayscale",
        .left = {max_val_y, 0.1f, 2},
        .down = {1.0f, 1.0f, 2},
    };
    canvas_t *canvas = build_chart_canvas(rec, def);
    if (canvas != nullptr)
        draw_signal_ticks(canvas);
    return canvas;
}

void draw_sdr_ref_EOTF(float white)
{
    canvas_t *canvas = rec.canvas;
    if (canvas == nullptr || reference == nullptr)
        return;
    int qx = canvas->x;
    int qy = static_cast<int>(static_cast<float>(canvas->y) + canvas->height);
    for (int i = 1; i <= 20; ++i) {
        const float e = static_cast<float>(i / 20.0 * (static_cast<double>(max_val_x) - min_val_x));
        color_block_t patch{};
        patch.ts0 = patch.ts1 = patch.ts2 = e;
        get_expect(white, 0.0f, &patch);
        float p = get_ST2084_inver_EOTF(patch.Y);
        if (std::isnan(p))
            p = min_val_y;
        const int px = static_cast<int>(PLOT_X + span_ratio(e - min_val_x, max_val_x - min_val_x) * PLOT_W + 0.5);
        const int py = static_cast<int>(canvas->y + span_ratio(max_val_y - p, max_val_y - min_val_y) *
                                                        static_cast<double>(canvas->height) + 0.5);
        draw_stroke(canvas, qx, qy, px, py, STROKE_CURVE, CURVE_COLOUR, LAYER_MARK);
        qx = px;
        qy = py;
    }
}

int get_sdr_gray_EOTF_coord(float xv, float yv, int *px, int *py)
{
    yv = clamp_value(yv, min_val_y, max_val_y);
    xv = clamp_value(xv, min_val_x, max_val_x);
    const float sx = PLOT_X + span_ratio(xv - min_val_x, max_val_x - min_val_x) * PLOT_W;
    const float sy = PLOT_Y + span_ratio(max_val_y - yv, max_val_y - min_val_y) * PLOT_H;
    *px = static_cast<int>(static_cast<double>(sx) + 0.5);
    *py = static_cast<int>(static_cast<double>(sy) + 0.5);
    return 0;
}

void draw_sdr_gray_EOTF_avg(float gamma)
{
    if (rec.canvas == nullptr)
        return;
    // Within 0.1 of the target gamma, limits included; not-a-number fails.
    bool pass = false;
    if (reference != nullptr) {
        const double target = reference->gamma;
        const double g = gamma;
        pass = target - 0.1 <= g && g <= target + 0.1;
    }
    draw_verdict(rec.canvas, "Total Gamma : ", gamma, pass);
}
