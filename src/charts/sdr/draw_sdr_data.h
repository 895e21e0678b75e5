// SDR data overlays: each draws the job's measured patches on one chart of
// the SDR page (a null canvas draws nothing).
#pragma once
#include "draw/draw_bg.h"
#include "measure/measure.h"

void draw_sdr_gray_dE_data(canvas_t *canvas, const job_t &job);
void draw_sdr_gray_EOTF_data(canvas_t *canvas, const job_t &job);
// The measured white, primaries and secondaries on the CIE diagram, with the
// sides of the measured triangle between the corners the job filled.
void draw_sdr_cm_gamut_data(canvas_t *canvas, const job_t &job);
void draw_sdr_cm_dE_data(canvas_t *canvas, const job_t &job);
void draw_sdr_checker_dE_data(canvas_t *canvas, const job_t &job);
