// SDR grayscale EOTF chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

canvas_t *draw_sdr_gray_EOTF_canvas(const job_t &job);
// The target's curve for the job's white.
void draw_sdr_ref_EOTF(canvas_t *canvas, const job_t &job);
// A measured point (signal xv, PQ value yv) on the chart of the job's scale.
int get_sdr_gray_EOTF_coord(const job_t &job, float xv, float yv, int *px, int *py);
