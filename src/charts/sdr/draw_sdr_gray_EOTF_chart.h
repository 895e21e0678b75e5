// SDR grayscale EOTF chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/verdict.h"

canvas_t *draw_sdr_gray_EOTF_canvas();
void draw_sdr_ref_EOTF(canvas_t *canvas, float white);
int get_sdr_gray_EOTF_coord(float xv, float yv, int *px, int *py);
void draw_sdr_gray_EOTF_avg(canvas_t *canvas, const verdict_t &v);
