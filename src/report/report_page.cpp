#include "report/report_page.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "charts/draw_verdict.h"
#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_data.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_data.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "draw/draw_basic.h"
#include "draw/draw_delete.h"
#include "draw/draw_main_win.h"
#include "draw/draw_title.h"
#include "draw/draw_x_y.h"
#include "panel/draw_config_chart.h"

namespace {

constexpr page_slot_t SDR_PAGE[SDR_SLOTS] = {
    {draw_sdr_gray_dE_canvas, draw_sdr_gray_dE_data, SDR_GRAY_DE2000_AVG},
    {draw_sdr_gray_EOTF_canvas, draw_sdr_gray_EOTF_data, SDR_TOTAL_GAMMA},
    {draw_sdr_cm_gamut_canvas, draw_sdr_cm_gamut_data, VERDICT_COUNT},
    {draw_sdr_cm_dE_canvas, draw_sdr_cm_dE_data, SDR_GAMUT_DE2000_MAX},
    {draw_sdr_checker_dE_canvas, draw_sdr_checker_dE_data, SDR_CHECKER_DE2000_AVG},
};

constexpr page_slot_t HDR_PAGE[HDR_SLOTS] = {
    {draw_hdr_gray_dE2000_canvas, draw_hdr_gray_dE2000_data, HDR_GRAY_DE2000_AVG},
    {draw_hdr_gray_dEITP_canvas, draw_hdr_gray_dEITP_data, HDR_GRAY_DEICTCP_AVG},
    {draw_hdr_gray_EOTF_canvas, draw_hdr_gray_EOTF_data, HDR_EOTF_DIFF_MAX},
    {draw_hdr_checker_dE_canvas, draw_hdr_checker_dE_data, HDR_CHECKER_DEICTCP_AVG},
};

static_assert(std::size(SDR_PAGE) <= SDR_SLOTS && std::size(HDR_PAGE) <= SDR_SLOTS,
              "every page's slots fit the canvases array");

page_t &page_of(report_pages_t &pages, page_id id)
{
    return id == PAGE_HDR ? pages.page_hdr : pages.page_sdr;
}

}  // namespace

report_pages_t::report_pages_t()
    : page_sdr{SDR_PAGE, {}, nullptr, "del_sdr_page", {}}, page_hdr{HDR_PAGE, {}, "init_hdr_page", "del_hdr_page", {}}
{
}

page_id report_page(const job_t &job)
{
    return job.kind == REPORT_HDR ? PAGE_HDR : PAGE_SDR;
}

std::span<canvas_t *const> page_canvases(report_pages_t &pages, page_id id)
{
    page_t &p = page_of(pages, id);
    return {p.canvases.data(), p.slots.size()};
}

void show_page(report_pages_t &pages, page_id id, const job_t &job)
{
    page_t &p = page_of(pages, id);
    if (p.canvases[0] != nullptr) {
        for (size_t i = 0; i < p.slots.size(); ++i)
            show_canvas_chart(p.canvases[i]);
        for (size_t i = 0; i < p.slots.size(); ++i)
            show_canvas_data(p.canvases[i]);
        return;
    }
    if (p.init_message != nullptr)
        puts(p.init_message);
    for (size_t i = 0; i < p.slots.size(); ++i)
        p.canvases[i] = p.slots[i].chart(job);
}

void switch_page(report_pages_t &pages, page_id page, const job_t &job)
{
    if (page == pages.current_page_status) {
        puts("new page == old page");
        return;
    }
    printf("old_status = %d, new_status = %d\n", pages.current_page_status, static_cast<int>(page));
    pages.current_page_status = page;
    show_page(pages, page, job);
}

void draw_page_panel(report_pages_t &pages, page_id id, const job_t &job, const char *serial_number, int32_t sensor_id)
{
    draw_config_chart(page_of(pages, id).panel, job, serial_number, sensor_id);
}

void render_page_data(report_pages_t &pages, page_id id, const job_t &job)
{
    page_t &p = page_of(pages, id);
    for (size_t i = 0; i < p.slots.size(); ++i) {
        canvas_t *canvas = p.canvases[i];
        if (canvas == nullptr)
            continue;
        del_canvas_data(canvas);
        const page_slot_t &slot = p.slots[i];
        slot.overlay(canvas, job);
        if (slot.verdict != VERDICT_COUNT)
            draw_verdict(canvas, slot.verdict, job.summary.verdicts[slot.verdict]);
    }
}

void change_page_style(report_pages_t &pages, page_id id, int style)
{
    page_t &p = page_of(pages, id);
    const canvas_t *built = nullptr;
    for (size_t i = 0; i < p.slots.size(); ++i) {
        canvas_t *c = p.canvases[i];
        if (built == nullptr)
            built = c;
        change_title_style(c, style);
        change_bg_style(c, style);
        change_x_y_style(c, style);
        change_x_gap_style(c, style);
        change_test_result_style(c, style);
        change_data_text_style(c, style);
        change_data_line_style(c, style);
    }
    // The panel (and the logo text) is restyled with the page; a page
    // without any chart leaves it as it is.
    change_config_text_style(p.panel, built, style);
}

void del_page(report_pages_t &pages, page_id id)
{
    page_t &p = page_of(pages, id);
    printf("[%s]\r\n", p.del_name);
    if (pages.current_page_status == id)
        pages.current_page_status = -1;
    canvas_freeze frozen;
    del_config_chart(p.panel);
    for (canvas_t *&c : p.canvases) {
        if (c == nullptr)
            continue;
        del_canvas(c);
        free(c);
        c = nullptr;
    }
}
