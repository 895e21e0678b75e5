// HDR data overlays: the measured patches on the four HDR charts.
#include "charts/hdr/draw_hdr_data.h"

#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/overlay.h"

namespace {

constexpr int LABEL_DY = 20;

// One grayscale bar chart: its pillar geometry and the value it shows.
void draw_gray_pillars(canvas_t *canvas, const job_t &job, pillar_fn place,
                       float color_t::*value)
{
    if (canvas == nullptr)
        return;
    for (int i = 0; i < job.store.gray_count && i < job.hdr_gray_pillar_count; ++i) {
        const color_t &p = job.store.gray[i];
        draw_value_pillar(canvas, place(job, i, p.*value), p.*value, signal_grey(p.c.ts0), 2, LABEL_DY);
    }
}

}  // namespace

void draw_hdr_gray_dE2000_data(canvas_t *canvas, const job_t &job)
{
    draw_gray_pillars(canvas, job, get_hdr_gray_dE2000_pillar_coord, &color_t::dE2000);
}

void draw_hdr_gray_dEITP_data(canvas_t *canvas, const job_t &job)
{
    draw_gray_pillars(canvas, job, get_hdr_gray_dEITP_pillar_coord, &color_t::dEICTCP_240);
}

void draw_hdr_gray_EOTF_data(canvas_t *canvas, const job_t &job)
{
    if (canvas == nullptr)
        return;
    for (int i = 0; i < job.store.gray_count; ++i)
        draw_eotf_trace(canvas, job, get_hdr_gray_EOTF_coord, i != 0 ? &job.store.gray[i - 1] : nullptr,
                        job.store.gray[i]);
}

void draw_hdr_checker_dE_data(canvas_t *canvas, const job_t &job)
{
    draw_checker_pillars(canvas, job, get_hdr_checker_dE_pillar_coord, &color_t::dEICTCP_240, LABEL_DY);
}
