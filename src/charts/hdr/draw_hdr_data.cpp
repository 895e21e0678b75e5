// HDR data overlay: plots the measured patches on the four HDR charts of the
// page it is given, and shows the job's verdicts on them.
#include "charts/hdr/draw_hdr_data.h"

#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/overlay.h"
#include "config/reference.h"
#include "measure/measure.h"

namespace {

constexpr int LABEL_DY = 20;

// The two grayscale bar charts: page slot, pillar geometry and the value shown.
struct gray_bar_t {
    int slot;
    pillar_fn place;
    float color_t::*value;
};
constexpr gray_bar_t gray_bars[] = {
    {HDR_SLOT_GRAY_DE2000, get_hdr_gray_dE2000_pillar_coord, &color_t::dE2000},
    {HDR_SLOT_GRAY_DEITP, get_hdr_gray_dEITP_pillar_coord, &color_t::dEICTCP_240},
};

void draw_gray(canvas_t *const *page, int i, const color_t *prev, const color_t *cur)
{
    if (i < hdr_gray_pillar_count) {
        for (const gray_bar_t &bar : gray_bars) {
            if (page[bar.slot] != nullptr)
                draw_value_pillar(page[bar.slot], bar.place, i, cur->*bar.value, signal_grey(cur->c.ts0), 2,
                                  LABEL_DY);
        }
    }
    if (page[HDR_SLOT_EOTF] != nullptr)
        draw_eotf_trace(page[HDR_SLOT_EOTF], get_hdr_gray_EOTF_coord, i != 0 ? prev : nullptr, *cur);
}

void draw_checker(canvas_t *const *page, int i, const color_t *cur)
{
    canvas_t *canvas = page[HDR_SLOT_CHECKER];
    if (canvas != nullptr && i >= 0 && i < CHECK_COUNT) {
        const bool pq = reference != nullptr && reference->test_type == 2;
        const rgb_t colour = code_colour(pq ? colorCheck_stand_hdr_int[i] : colorCheck_stand_sdr_int[i]);
        draw_value_pillar(canvas, get_hdr_checker_dE_pillar_coord, i, cur->dEICTCP_240, colour, 3, LABEL_DY);
    }
}

}  // namespace

void draw_hdr_data(canvas_t *const *page, int kind, int index, const color_t *prev, const color_t *cur)
{
    if (page == nullptr || cur == nullptr)
        return;
    if (kind == 0)
        draw_gray(page, index, prev, cur);
    else if (kind == 2)
        draw_checker(page, index, cur);
}

void draw_hdr_data_avg(canvas_t *const *page, const job_summary_t &summary)
{
    if (page == nullptr)
        return;
    const auto &v = summary.verdicts;
    draw_hdr_gray_dE2000_avg(page[HDR_SLOT_GRAY_DE2000], v[HDR_GRAY_DE2000_AVG]);
    draw_hdr_gray_dEITP_avg(page[HDR_SLOT_GRAY_DEITP], v[HDR_GRAY_DEICTCP_AVG]);
    draw_hdr_gray_EOTF_max_diff(page[HDR_SLOT_EOTF], v[HDR_EOTF_DIFF_MAX]);
    draw_hdr_checker_dE_avg(page[HDR_SLOT_CHECKER], v[HDR_CHECKER_DEICTCP_AVG]);
}
