// SDR grayscale EOTF chart: measured luminance (as a PQ signal) against the
// input signal, with the expected curve of the target.
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"

#include <cstdio>

#include "charts/eotf_chart.h"
#include "charts/geometry/eotf_geometry.h"
#include "color/color.h"
#include "draw/images.h"
#include "measure/measure.h"

namespace {

// The chart's scale, from the job's white.
sdr_eotf_scale_t scale_of(const job_t &job)
{
    return sdr_eotf_scale(job.store.super_white, job.white.max_E);
}

}  // namespace

canvas_t *draw_sdr_gray_EOTF_canvas(const job_t &job)
{
    const sdr_eotf_scale_t scale = scale_of(job);
    if (job.white.max_E > 0.0f)
        printf("max_val_y = %f\r\n", static_cast<double>(scale.max_y));
    const chart_def_t def = {.plot = SDR_EOTF_PLOT,
                             .y_grid_count = static_cast<uint8_t>(sdr_eotf_rows(scale)),
                             .bg_image = image_path[IMAGE_BG_TRANS],
                             .title_width = 860,
                             .icon = image_path[IMAGE_ICON_LUMA],
                             .text = " EOTF --- Grayscale",
                             .left = {.max = scale.max_y, .step = 0.1f, .digits = 2},
                             .down = {.max = 1.0f, .step = 1.0f, .digits = 2}};
    canvas_t *canvas = build_chart_canvas(def);
    if (canvas != nullptr) {
        draw_signal_ticks(canvas, job.store.super_white ? 11 : 10);
        draw_sdr_ref_EOTF(canvas, job);
    }
    return canvas;
}

void draw_sdr_ref_EOTF(canvas_t *canvas, const job_t &job)
{
    if (canvas == nullptr)
        return;
    const sdr_eotf_scale_t scale = scale_of(job);
    const plot_t plot = plot_of(*canvas);
    draw_reference_curve(canvas, [&](int i) {
        const float e = sdr_curve_signal(scale, i);
        return sdr_curve_point(plot, scale, e, get_expected_gray_E(job.target, job.white.bright_Y, job.white.max_E, e));
    });
}

int get_sdr_gray_EOTF_coord(const job_t &job, float xv, float yv, int *px, int *py)
{
    const pixel_t p = sdr_eotf_point(scale_of(job), xv, yv);
    *px = p.x;
    *py = p.y;
    return 0;
}
