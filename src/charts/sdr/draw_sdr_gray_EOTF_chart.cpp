// SDR grayscale EOTF chart: measured luminance (as a PQ signal) against the
// input signal, with the expected curve of the target and the total-gamma
// verdict.
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"

#include <cstdio>

#include "charts/eotf_chart.h"
#include "charts/geometry/eotf_geometry.h"
#include "color/color.h"
#include "config/reference.h"
#include "measure/measure.h"

namespace {

// The chart's scale: set when it is built, read by the curve and the mapping.
sdr_eotf_scale_t scale{};

}  // namespace

canvas_t *draw_sdr_gray_EOTF_canvas()
{
    scale = sdr_eotf_scale(scale, flag_super_white != 0, reference != nullptr ? reference->max_E : 0.0f);
    if (reference != nullptr && reference->max_E > 0.0f)
        printf("max_val_y = %f\r\n", static_cast<double>(scale.max_y));
    const chart_def_t def = {.function = "draw_sdr_gray_EOTF_canvas",
                             .plot = SDR_EOTF_PLOT,
                             .y_grid_count = static_cast<uint8_t>(sdr_eotf_rows(scale)),
                             .bg_image = "/usr/local/app/image/bg_trans.png",
                             .title_width = 860,
                             .icon = "/usr/local/app/image/icon_luma.png",
                             .text = " EOTF --- Grayscale",
                             .left = {.max = scale.max_y, .step = 0.1f, .digits = 2},
                             .down = {.max = 1.0f, .step = 1.0f, .digits = 2}};
    canvas_t *canvas = build_chart_canvas(def);
    if (canvas != nullptr)
        draw_signal_ticks(canvas, flag_super_white ? 11 : 10);
    return canvas;
}

void draw_sdr_ref_EOTF(canvas_t *canvas, float white)
{
    if (canvas == nullptr || reference == nullptr)
        return;
    const plot_t plot = plot_of(*canvas);
    draw_reference_curve(canvas, [&](int i) {
        const float e = sdr_curve_signal(scale, i);
        color_block_t patch{};
        patch.ts0 = patch.ts1 = patch.ts2 = e;
        get_expect(white, 0.0f, &patch);
        return sdr_curve_point(plot, scale, e, get_ST2084_inver_EOTF(patch.Y));
    });
}

int get_sdr_gray_EOTF_coord(float xv, float yv, int *px, int *py)
{
    const pixel_t p = sdr_eotf_point(scale, xv, yv);
    *px = p.x;
    *py = p.y;
    return 0;
}

void draw_sdr_gray_EOTF_avg(canvas_t *canvas, const verdict_t &v)
{
    draw_verdict(canvas, SDR_TOTAL_GAMMA, v);
}
