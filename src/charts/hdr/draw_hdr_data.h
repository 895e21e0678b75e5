// HDR data overlays: each draws the job's measured patches on one chart of
// the HDR page (a null canvas draws nothing).
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

// The pillars of the grayscale patches below the PQ clip.
void draw_hdr_gray_dE2000_data(canvas_t *canvas, const job_t &job);
void draw_hdr_gray_dEITP_data(canvas_t *canvas, const job_t &job);
void draw_hdr_gray_EOTF_data(canvas_t *canvas, const job_t &job);
void draw_hdr_checker_dE_data(canvas_t *canvas, const job_t &job);
