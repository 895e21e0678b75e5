#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"

#include <cstdio>

#include "charts/eotf_chart.h"
#include "charts/geometry/eotf_geometry.h"
#include "color/color.h"
#include "measure/measure.h"
#include "draw/images.h"

namespace {

constexpr chart_def_t def = {.plot = HDR_EOTF_PLOT,
                             .y_grid_count = 10,
                             .bg_image = image_path[IMAGE_BG_TRANS],
                             .title_width = 680,
                             .icon = image_path[IMAGE_ICON_LUMA],
                             .text = " EOTF --- Grayscale",
                             .left = {.max = HDR_EOTF_MAX, .step = 0.1f, .digits = 2},
                             .down = {.max = 1.0f, .step = 1.0f, .digits = 2}};

// PQ target: E' follows the signal up to the PQ value of the measured white
// and stays there.
void draw_pq_curve(canvas_t *canvas, float max_E)
{
    printf("PQ max E' = %f\r\n", static_cast<double>(max_E));
    const pq_curve_t c = pq_curve(plot_of(*canvas), max_E);
    draw_stroke(canvas, c.left, c.bottom, c.knee_x, c.knee_y, STROKE_RAMP, CURVE_GREY, LAYER_MARK);
    draw_stroke(canvas, c.knee_x, c.knee_y, c.right, c.knee_y, STROKE_CURVE, CURVE_GREY, LAYER_MARK);
}

// A curve not clipped at the white (HLG): the expected gray for each twentieth
// of signal, in PQ values.
void draw_expected_curve(canvas_t *canvas, const job_t &job)
{
    const plot_t plot = plot_of(*canvas);
    draw_reference_curve(canvas, [&](int i) {
        const float e = get_expected_gray_E(job.target, job.white.bright_Y, job.white.max_E, hlg_curve_signal(i));
        return hlg_curve_point(plot, i, e);
    });
}

}  // namespace

canvas_t *draw_hdr_gray_EOTF_canvas(const job_t &job)
{
    canvas_t *canvas = build_chart_canvas(def);
    if (canvas != nullptr) {
        draw_signal_ticks(canvas, 10);
        draw_hdr_ref_EOTF(canvas, job);
    }
    return canvas;
}

void draw_hdr_ref_EOTF(canvas_t *canvas, const job_t &job)
{
    // The curve takes its geometry from the chart: nothing to draw without it.
    if (canvas == nullptr)
        return;
    const eotf_row_t *eotf = find_eotf(job.target.test_type);
    if (eotf == nullptr || !eotf->hdr)
        printf("Error: %s\r\n", "draw_hdr_ref_EOTF");
    else if (eotf->clip == CLIP_AT_WHITE)
        draw_pq_curve(canvas, job.white.max_E);
    else
        draw_expected_curve(canvas, job);
}

int get_hdr_gray_EOTF_coord(const job_t &, float signal, float value, int *px, int *py)
{
    const pixel_t p = hdr_eotf_point(signal, value);
    *px = p.x;
    *py = p.y;
    return 0;
}
