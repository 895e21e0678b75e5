#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"

#include <cstdio>

#include "charts/eotf_chart.h"
#include "charts/pixel.h"
#include "color/color.h"
#include "config/reference.h"

namespace {

// This chart reads nothing from the reference record when it is built, so it
// has no missing-reference warning.
constexpr chart_def_t def = {nullptr, 1220, 80, 680.0f, 612.0f, 1, 10, "/usr/local/app/image/bg_trans.png", 680,
                             "/usr/local/app/image/icon_luma.png", " EOTF --- Grayscale", {1.0f, 0.1f, 2},
                             {1.0f, 1.0f, 2}};

// E' at the top and test signal at the right edge, and both at the other edges.
float max_val = 0.0f;
float min_val = 0.0f;

// PQ target: E' follows the signal up to the PQ value of the measured white
// and stays there.
void draw_pq_curve(canvas_t *canvas, float max_E)
{
    printf("PQ max E' = %f\r\n", static_cast<double>(max_E));
    const float e = max_E == max_E ? max_E : 0.0f;
    const int kx = px_round(canvas->x + e * canvas->width);
    const int ky = px_round(canvas->y + (1 - e) * canvas->height);
    const int bottom = static_cast<int>(canvas->y + canvas->height);
    const int right = static_cast<int>(canvas->x + canvas->width - 1.0f);
    draw_stroke(canvas, canvas->x, bottom, kx, ky, STROKE_RAMP, CURVE_GREY, LAYER_MARK);
    draw_stroke(canvas, kx, ky, right, ky, STROKE_CURVE, CURVE_GREY, LAYER_MARK);
}

// HLG target: the expected gray for each twentieth of signal, in PQ values.
void draw_hlg_curve(canvas_t *canvas, float level)
{
    draw_reference_curve(canvas, [&](int i) {
        color_block_t block{};
        block.ts0 = block.ts1 = block.ts2 = static_cast<float>(i / 20.0);
        get_expect_HLG(level, 0.0f, &block);
        float e = get_ST2084_inver_EOTF(block.Y);
        if (e != e)
            e = min_val;
        return std::pair{px_round(canvas->x + i * 0.05 * canvas->width),
                         px_round(canvas->y + (static_cast<double>(max_val) - e) * canvas->height)};
    });
}

}  // namespace

canvas_t *draw_hdr_gray_EOTF_canvas()
{
    max_val = 1.0f;
    min_val = 0.0f;
    canvas_t *canvas = build_chart_canvas(def);
    if (canvas != nullptr)
        draw_signal_ticks(canvas, 10);
    return canvas;
}

void draw_hdr_ref_EOTF(canvas_t *canvas, float level)
{
    // The curve takes its geometry from the chart: nothing to draw without it.
    if (canvas == nullptr || reference == nullptr)
        return;
    switch (reference->test_type) {
    case 2:
        draw_pq_curve(canvas, reference->max_E);
        break;
    case 3:
        draw_hlg_curve(canvas, level);
        break;
    default:
        printf("Error: %s\r\n", "draw_hdr_ref_EOTF");
        break;
    }
}

int get_hdr_gray_EOTF_coord(float signal, float value, int *px, int *py)
{
    value = clamp_scale(value, min_val, max_val);
    if (signal != signal)
        signal = min_val;
    const float range = max_val - min_val;
    *px = px_round(static_cast<float>(def.x) + (signal - min_val) / range * def.width);
    *py = px_round(static_cast<float>(def.y) + (max_val - value) / range * def.height);
    return 0;
}

void draw_hdr_gray_EOTF_max_diff(canvas_t *canvas, const verdict_t &v)
{
    draw_verdict(canvas, HDR_EOTF_DIFF_MAX, v);
}
