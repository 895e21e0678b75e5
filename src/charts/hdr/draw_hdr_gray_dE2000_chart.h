// HDR grayscale dE2000 chart.
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

canvas_t *draw_hdr_gray_dE2000_canvas(const job_t &job);
rect_t get_hdr_gray_dE2000_pillar_coord(const job_t &job, int i, float v);
