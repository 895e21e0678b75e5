// HDR data overlay.
#pragma once
#include "color/color.h"

void draw_hdr_data(int kind, int index, const color_t *prev, const color_t *cur);
void draw_hdr_data_avg();
