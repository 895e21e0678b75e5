// HDR data overlay: draws on the page's chart canvases it is handed (any of
// them may be null, which skips that chart).
#pragma once
#include "color/color.h"
#include "draw/draw_bg.h"
#include "measure/verdict.h"

// HDR page slots.
enum : int {
    HDR_SLOT_GRAY_DE2000 = 0,
    HDR_SLOT_GRAY_DEITP = 1,
    HDR_SLOT_EOTF = 2,
    HDR_SLOT_CHECKER = 3,
};

void draw_hdr_data(canvas_t *const *page, int kind, int index, const color_t *prev, const color_t *cur);
// The job's verdicts on the charts of the page.
void draw_hdr_data_avg(canvas_t *const *page, const job_summary_t &summary);
