// SDR gamut dE chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/verdict.h"

canvas_t *draw_sdr_cm_dE_canvas();
void get_sdr_cm_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h);
void draw_sdr_cm_dE_avg(canvas_t *canvas, const verdict_t &v);
