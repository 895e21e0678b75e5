// SDR grayscale EOTF chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

canvas_t *draw_sdr_gray_EOTF_canvas(const job_t &job);
// The target's curve for the job's white.
void draw_sdr_ref_EOTF(canvas_t *canvas, const job_t &job);
int get_sdr_gray_EOTF_coord(float xv, float yv, int *px, int *py);
