// HDR colour checker chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/verdict.h"

canvas_t *draw_hdr_checker_dE_canvas();
void get_hdr_checker_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h);
void draw_hdr_checker_dE_avg(canvas_t *canvas, const verdict_t &v);
