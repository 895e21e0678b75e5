// CIE 1931 xy gamut chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

canvas_t *draw_sdr_cm_gamut_canvas(const job_t &job);
void get_sdr_cm_gamut_1931_coord(float x, float y, int *px, int *py);
