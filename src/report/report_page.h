// The report page: the SDR and the HDR page as tables of chart slots. Each
// slot names its chart, the overlay that draws the job's patches on it and
// the verdict it shows.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "draw/draw_bg.h"
#include "measure/measure.h"
#include "panel/draw_config_chart.h"

enum page_id : int {
    PAGE_SDR = 3,
    PAGE_HDR = 4,
};

// Slots of the SDR page.
enum : int {
    SDR_SLOT_GRAY_DE = 0,
    SDR_SLOT_GRAY_EOTF = 1,
    SDR_SLOT_GAMUT_XY = 2,
    SDR_SLOT_GAMUT_DE = 3,
    SDR_SLOT_CHECKER = 4,
    SDR_SLOTS = 5,
};

// Slots of the HDR page.
enum : int {
    HDR_SLOT_GRAY_DE2000 = 0,
    HDR_SLOT_GRAY_DEITP = 1,
    HDR_SLOT_EOTF = 2,
    HDR_SLOT_CHECKER = 3,
    HDR_SLOTS = 4,
};

struct page_slot_t;

// One report page: its table, its canvases, the panel beside it and the names
// its messages use.
struct page_t {
    std::span<const page_slot_t> slots;
    std::array<canvas_t *, SDR_SLOTS> canvases;
    const char *init_message;  // printed when the page is built; null for none
    const char *del_name;
    panel_t panel;
};

// The run's two report pages and the one that is up (-1 before the first
// switch and after its deletion). The run owns it; nothing else keeps it.
struct report_pages_t {
    page_t page_sdr;
    page_t page_hdr;
    int current_page_status = -1;
    report_pages_t();
    report_pages_t(const report_pages_t &) = delete;
    report_pages_t &operator=(const report_pages_t &) = delete;
};

struct page_slot_t {
    canvas_t *(*chart)(const job_t &job);
    void (*overlay)(canvas_t *canvas, const job_t &job);
    verdict_id verdict;  // VERDICT_COUNT: the chart shows none
};

// The page a job's report takes.
page_id report_page(const job_t &job);

// The page's canvases in slot order (null where a chart is not built).
std::span<canvas_t *const> page_canvases(report_pages_t &pages, page_id page);

// Builds the page's charts for the job the first time, shows them again after.
void show_page(report_pages_t &pages, page_id page, const job_t &job);
// Shows the page for the job (built on its first show); a page that is up
// already stays as it is.
void switch_page(report_pages_t &pages, page_id page, const job_t &job);
// Draws the panel beside the page: the serial number as shown and the sensor.
// A second draw replaces the first.
void draw_page_panel(report_pages_t &pages, page_id page, const job_t &job, const char *serial_number, int32_t sensor_id);
// Draws the job's patches and verdicts on the page, replacing what an
// earlier call drew.
void render_page_data(report_pages_t &pages, page_id page, const job_t &job);
// Restyles every chart of the page and, once, the panel.
void change_page_style(report_pages_t &pages, page_id page, int style);
// Deletes the page's charts and panel; a page that was up is up no more, so
// switching to it builds it again.
void del_page(report_pages_t &pages, page_id page);
