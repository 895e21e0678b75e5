#include "charts/hdr/draw_hdr_data.h"

#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/overlay.h"
#include "config/reference.h"
#include "draw/draw_hdr_page.h"
#include "measure/measure.h"

namespace {

enum : int { SLOT_GRAY_DE2000 = 0, SLOT_GRAY_DEITP = 1, SLOT_EOTF = 2, SLOT_CHECKER = 3 };
constexpr int LABEL_DY = 20;

// The two grayscale bar charts: page slot, pillar geometry and the value shown.
struct gray_bar_t {
    int slot;
    pillar_fn place;
    float color_t::*value;
};
constexpr gray_bar_t gray_bars[] = {
    {SLOT_GRAY_DE2000, get_hdr_gray_dE2000_pillar_coord, &color_t::dE2000},
    {SLOT_GRAY_DEITP, get_hdr_gray_dEITP_pillar_coord, &color_t::dEICTCP_240},
};

canvas_t **page = nullptr;
// Accumulated over one overlay pass, read by draw_hdr_data_avg.
float sum_gray_dE2000 = 0.0f;
float sum_gray_dEITP = 0.0f;
float max_gray_diff = 0.0f;
float sum_checker_dEITP = 0.0f;

void draw_gray(int i, const color_t *prev, const color_t *cur)
{
    if (i < hdr_gray_pillar_count) {
        for (const gray_bar_t &bar : gray_bars) {
            if (page[bar.slot] != nullptr)
                draw_value_pillar(page[bar.slot], bar.place, i, cur->*bar.value, signal_grey(cur->c.ts0), 2,
                                  LABEL_DY);
        }
        sum_gray_dE2000 += cur->dE2000;
        // The first patch (the black) does not count for ΔE ICtCp.
        if (i != 0)
            sum_gray_dEITP += cur->dEICTCP_240;
    }
    if (page[SLOT_EOTF] != nullptr)
        draw_eotf_trace(page[SLOT_EOTF], get_hdr_gray_EOTF_coord, i != 0 ? prev : nullptr, *cur);
    if (reference != nullptr) {
        const float d = get_diff_EOTF(cur->c.ts0, cur->E_prime);
        if (d > max_gray_diff)
            max_gray_diff = d;
    }
}

void draw_checker(int i, const color_t *cur)
{
    canvas_t *canvas = page[SLOT_CHECKER];
    if (canvas != nullptr && i >= 0 && i < CHECK_COUNT) {
        const bool pq = reference != nullptr && reference->test_type == 2;
        const rgb_t colour = code_colour(pq ? colorCheck_stand_hdr_int[i] : colorCheck_stand_sdr_int[i]);
        draw_value_pillar(canvas, get_hdr_checker_dE_pillar_coord, i, cur->dEICTCP_240, colour, 3, LABEL_DY);
    }
    sum_checker_dEITP += cur->dEICTCP_240;
}

}  // namespace

void draw_hdr_data(int kind, int index, const color_t *prev, const color_t *cur)
{
    page = get_hdr_page();
    if (cur == nullptr)
        return;
    if (kind == 0)
        draw_gray(index, prev, cur);
    else if (kind == 2)
        draw_checker(index, cur);
}

void draw_hdr_data_avg()
{
    const int n = hdr_gray_pillar_count;
    draw_hdr_gray_dE2000_avg(average(sum_gray_dE2000, n));
    draw_hdr_gray_dEITP_avg(average(sum_gray_dEITP, n - 1));
    draw_hdr_gray_EOTF_max_diff(max_gray_diff);
    draw_hdr_checker_dE_avg(sum_checker_dEITP / CHECK_COUNT);

    // The next pass starts afresh.
    sum_gray_dE2000 = 0.0f;
    sum_gray_dEITP = 0.0f;
    max_gray_diff = 0.0f;
    sum_checker_dEITP = 0.0f;
}
