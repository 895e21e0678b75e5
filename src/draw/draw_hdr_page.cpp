#include "draw/draw_hdr_page.h"

#include <cstdio>

#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_data.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "config/reference.h"
#include "draw/draw_delete.h"
#include "draw/switch_page.h"
#include "measure/measure.h"
#include "measure/verdict.h"

namespace {

canvas_t *page_hdr[HDR_SLOTS] = {nullptr};

canvas_t *(*const constructors[HDR_SLOTS])() = {
    draw_hdr_gray_dE2000_canvas,
    draw_hdr_gray_dEITP_canvas,
    draw_hdr_gray_EOTF_canvas,
    draw_hdr_checker_dE_canvas,
};

}  // namespace

canvas_t **get_hdr_page()
{
    return page_hdr;
}

void init_hdr_page()
{
    puts("init_hdr_page");
    page_build(page_hdr, HDR_SLOTS, constructors);
}

void show_hdr_page()
{
    if (page_hdr[0] == nullptr) {
        init_hdr_page();
    } else {
        show_hdr_chart_object();
        show_hdr_chart_data_object();
    }
}

void show_hdr_chart_object()
{
    page_show_charts(page_hdr, HDR_SLOTS);
}

void show_hdr_chart_data_object()
{
    page_show_data(page_hdr, HDR_SLOTS);
}

void del_hdr_chart_data_object()
{
    for (canvas_t *c : page_hdr)
        del_canvas_data(c);
}

void del_hdr_page()
{
    printf("[%s]\r\n", "del_hdr_page");
    page_delete(page_hdr, HDR_SLOTS);
}

void render_hdr_chart_data_object()
{
    del_hdr_chart_data_object();
    draw_hdr_ref_EOTF(page_hdr[HDR_SLOT_EOTF], reference != nullptr ? reference->white_level : 0.0f);
    for (int i = 0; i < test_data_gray_count; ++i)
        draw_hdr_data(page_hdr, 0, i, i == 0 ? nullptr : &data_gray[i - 1], &data_gray[i]);
    for (int i = 0; i < CHECK_COUNT; ++i)
        if (data_check_measured[i])
            draw_hdr_data(page_hdr, 2, i, i == 0 ? nullptr : &data_check[i - 1], &data_check[i]);
    draw_hdr_data_avg(page_hdr, job_summary);
}

void change_hdr_chart_style(int style)
{
    page_restyle(page_hdr, HDR_SLOTS, style);
}
