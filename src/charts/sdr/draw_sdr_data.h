// SDR data overlay.
#pragma once
#include "color/color.h"

void draw_sdr_data(int type, int i, const color_t *prev, const color_t *cur);
void draw_sdr_cm_gamut_data(int i, const color_t *cur);
void draw_sdr_data_avg();

// Clears the accumulated verdict figures. A run draws one report and never
// needs it; tests draw several.
void clear_sdr_data_sums();
