// HDR grayscale EOTF chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/verdict.h"

canvas_t *draw_hdr_gray_EOTF_canvas();
void draw_hdr_ref_EOTF(canvas_t *canvas, float level);
int get_hdr_gray_EOTF_coord(float signal, float value, int *px, int *py);
void draw_hdr_gray_EOTF_max_diff(canvas_t *canvas, const verdict_t &v);
