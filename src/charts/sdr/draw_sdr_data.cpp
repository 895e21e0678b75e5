// SDR data overlays: the measured patches on the five SDR charts.
#include "charts/sdr/draw_sdr_data.h"

#include <array>

#include "charts/overlay.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "draw/draw_basic.h"

namespace {

constexpr int LABEL_DY = 17;
constexpr uint8_t TRIANGLE_COLOUR[3] = {255, 255, 255};

// White, red, green, blue, cyan, magenta, yellow.
constexpr std::array<rgb_t, GAMUT_COUNT> GAMUT_BAR_COLOURS = {
    {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}}};

pixel_t cie_pixel(const color_block_t &c)
{
    pixel_t p{};
    get_sdr_cm_gamut_1931_coord(c.x, c.y, &p.x, &p.y);
    return p;
}

}  // namespace

void draw_sdr_gray_dE_data(canvas_t *canvas, const job_t &job)
{
    if (canvas == nullptr)
        return;
    for (int i = 0; i < job.store.gray_count; ++i) {
        const color_t &p = job.store.gray[i];
        draw_value_pillar(canvas, get_sdr_gray_dE_pillar_coord(job, i, p.dE2000), p.dE2000, signal_grey(p.c.ts0), 2,
                          LABEL_DY);
    }
}

void draw_sdr_gray_EOTF_data(canvas_t *canvas, const job_t &job)
{
    if (canvas == nullptr)
        return;
    for (int i = 0; i < job.store.gray_count; ++i)
        draw_eotf_trace(canvas, job, get_sdr_gray_EOTF_coord, i > 0 ? &job.store.gray[i - 1] : nullptr,
                        job.store.gray[i]);
}

void draw_sdr_cm_gamut_data(canvas_t *canvas, const job_t &job)
{
    if (canvas == nullptr)
        return;
    const patch_store_t &s = job.store;
    for (int i = 0; i < GAMUT_COUNT; ++i) {
        if (!s.gamut_measured[i])
            continue;
        const pixel_t p = cie_pixel(s.gamut[i].c);
        draw_square_marker(canvas, p.x, p.y);
        // Green closes the side to red; blue the sides to red and to green.
        // Red, green and blue are slots 1 to 3.
        for (int corner = 1; corner < i && i <= 3; ++corner) {
            if (!s.gamut_measured[corner])
                continue;
            const pixel_t q = cie_pixel(s.gamut[corner].c);
            draw_stroke(canvas, p.x, p.y, q.x, q.y, STROKE_OUTLINE, TRIANGLE_COLOUR, LAYER_DATA);
        }
    }
}

void draw_sdr_cm_dE_data(canvas_t *canvas, const job_t &job)
{
    if (canvas == nullptr)
        return;
    for (int i = 0; i < GAMUT_COUNT; ++i) {
        if (!job.store.gamut_measured[i])
            continue;
        const float v = job.store.gamut[i].dE2000;
        draw_value_pillar(canvas, get_sdr_cm_dE_pillar_coord(job, i, v), v, GAMUT_BAR_COLOURS[i], 2, LABEL_DY);
    }
}

void draw_sdr_checker_dE_data(canvas_t *canvas, const job_t &job)
{
    draw_checker_pillars(canvas, job, get_sdr_checker_dE_pillar_coord, &color_t::dE2000, LABEL_DY);
}
