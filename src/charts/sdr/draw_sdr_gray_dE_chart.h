// SDR grayscale dE chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

canvas_t *draw_sdr_gray_dE_canvas(const job_t &job);
rect_t get_sdr_gray_dE_pillar_coord(const job_t &job, int i, float v);
