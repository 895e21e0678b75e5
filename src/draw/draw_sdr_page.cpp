#include "draw/draw_sdr_page.h"

#include <cstdio>

#include "charts/sdr/draw_sdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_data.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "config/reference.h"
#include "draw/switch_page.h"
#include "measure/measure.h"
#include "measure/verdict.h"

namespace {

canvas_t *page_sdr[SDR_SLOTS] = {nullptr};

canvas_t *(*const constructors[SDR_SLOTS])() = {
    draw_sdr_gray_dE_canvas, draw_sdr_gray_EOTF_canvas, draw_sdr_cm_gamut_canvas,
    draw_sdr_cm_dE_canvas,   draw_sdr_checker_dE_canvas,
};

// Plots one store of patches, each with its predecessor; a slot the job did
// not fill is handed over as absent.
void plot_set(int kind, const color_t *records, int count, const bool *filled = nullptr)
{
    for (int i = 0; i < count; ++i) {
        const bool present = filled == nullptr || filled[i];
        draw_sdr_data(page_sdr, kind, i, i == 0 ? nullptr : &records[i - 1], present ? &records[i] : nullptr);
    }
}

}  // namespace

canvas_t **get_sdr_page()
{
    return page_sdr;
}

void init_sdr_page()
{
    page_build(page_sdr, SDR_SLOTS, constructors);
}

void show_sdr_page()
{
    if (page_sdr[0] == nullptr) {
        init_sdr_page();
    } else {
        show_sdr_chart_object();
        show_sdr_chart_data_object();
    }
}

void show_sdr_chart_object()
{
    page_show_charts(page_sdr, SDR_SLOTS);
}

void show_sdr_chart_data_object()
{
    page_show_data(page_sdr, SDR_SLOTS);
}

void del_sdr_page()
{
    printf("[%s]\r\n", "del_sdr_page");
    page_delete(page_sdr, SDR_SLOTS);
}

void render_sdr_chart_data_object()
{
    draw_sdr_ref_EOTF(page_sdr[SDR_SLOT_GRAY_EOTF], reference != nullptr ? reference->white_level : 0.0f);
    plot_set(0, data_gray, test_data_gray_count);
    plot_set(1, data_gamut, GAMUT_COUNT, data_gamut_measured);
    plot_set(2, data_check, CHECK_COUNT, data_check_measured);
    draw_sdr_data_avg(page_sdr, job_summary);
}

void change_sdr_chart_style(int style)
{
    page_restyle(page_sdr, SDR_SLOTS, style);
}
