// HDR grayscale EOTF chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

canvas_t *draw_hdr_gray_EOTF_canvas(const job_t &job);
// The target's curve (PQ or HLG) for the job's white.
void draw_hdr_ref_EOTF(canvas_t *canvas, const job_t &job);
// A measured point (signal, E') on the chart; the job is not needed, as the
// range is fixed.
int get_hdr_gray_EOTF_coord(const job_t &job, float signal, float value, int *px, int *py);
