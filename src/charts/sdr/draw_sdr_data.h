// SDR data overlay.
#pragma once
#include "color/color.h"

void draw_sdr_data(int type, int i, const color_t *prev, const color_t *cur);
void draw_sdr_cm_gamut_data(int i, const color_t *cur);
void draw_sdr_data_avg();
