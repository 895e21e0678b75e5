// SDR grayscale EOTF chart: measured luminance (as a PQ signal) against the
// input signal, with the expected curve of the target and the total-gamma
// verdict.
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"

#include <cmath>
#include <cstdio>

#include "charts/eotf_chart.h"
#include "charts/pixel.h"
#include "color/color.h"
#include "config/reference.h"
#include "measure/measure.h"

namespace {

float max_val_y = 0.0f;
float min_val_y = 0.0f;
float max_val_x = 0.0f;
float min_val_x = 0.0f;

// Fixed plot geometry used by the data mapping.
constexpr float PLOT_X = 1040.0f;
constexpr float PLOT_Y = 330.0f;
constexpr float PLOT_W = 860.0f;
constexpr float PLOT_H = 460.0f;

// Share of an axis span; an empty span maps everything onto its start.
float span_ratio(float part, float span)
{
    return span > 0.0f ? part / span : 0.0f;
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

}  // namespace

canvas_t *draw_sdr_gray_EOTF_canvas()
{
    set_scale();
    const auto rows = static_cast<uint8_t>(std::lround((static_cast<double>(max_val_y) - min_val_y) / 0.1));
    const chart_def_t def = {"draw_sdr_gray_EOTF_canvas", 1040, 330, PLOT_W, PLOT_H, 1, rows,
                             "/usr/local/app/image/bg_trans.png", 860, "/usr/local/app/image/icon_luma.png",
                             " EOTF --- Grayscale", {max_val_y, 0.1f, 2}, {1.0f, 1.0f, 2}};
    canvas_t *canvas = build_chart_canvas(def);
    if (canvas != nullptr)
        draw_signal_ticks(canvas, flag_super_white ? 11 : 10);
    return canvas;
}

void draw_sdr_ref_EOTF(canvas_t *canvas, float white)
{
    if (canvas == nullptr || reference == nullptr)
        return;
    draw_reference_curve(canvas, [&](int i) {
        const float e = static_cast<float>(i / 20.0 * (static_cast<double>(max_val_x) - min_val_x));
        color_block_t patch{};
        patch.ts0 = patch.ts1 = patch.ts2 = e;
        get_expect(white, 0.0f, &patch);
        float p = get_ST2084_inver_EOTF(patch.Y);
        if (std::isnan(p))
            p = min_val_y;
        return std::pair{px_round(PLOT_X + span_ratio(e - min_val_x, max_val_x - min_val_x) * PLOT_W),
                         px_round(canvas->y + span_ratio(max_val_y - p, max_val_y - min_val_y) *
                                                  static_cast<double>(canvas->height))};
    });
}

int get_sdr_gray_EOTF_coord(float xv, float yv, int *px, int *py)
{
    yv = clamp_scale(yv, min_val_y, max_val_y);
    xv = clamp_scale(xv, min_val_x, max_val_x);
    *px = px_round(PLOT_X + span_ratio(xv - min_val_x, max_val_x - min_val_x) * PLOT_W);
    *py = px_round(PLOT_Y + span_ratio(max_val_y - yv, max_val_y - min_val_y) * PLOT_H);
    return 0;
}

void draw_sdr_gray_EOTF_avg(canvas_t *canvas, const verdict_t &v)
{
    draw_verdict(canvas, SDR_TOTAL_GAMMA, v);
}
