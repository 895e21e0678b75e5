// SDR data overlay: draws on the page's chart canvases it is handed (any of
// them may be null, which skips that chart).
#pragma once
#include "color/color.h"
#include "draw/draw_bg.h"
#include "measure/verdict.h"

// SDR page slots.
enum : int {
    SDR_SLOT_GRAY_DE = 0,
    SDR_SLOT_GRAY_EOTF = 1,
    SDR_SLOT_GAMUT_XY = 2,
    SDR_SLOT_GAMUT_DE = 3,
    SDR_SLOT_CHECKER = 4,
};

void draw_sdr_data(canvas_t *const *page, int type, int i, const color_t *prev, const color_t *cur);
void draw_sdr_cm_gamut_data(canvas_t *canvas, int i, const color_t *cur);
// The job's verdicts on the charts of the page.
void draw_sdr_data_avg(canvas_t *const *page, const job_summary_t &summary);
