// Chart grid, grid value labels and frame.
#pragma once
#include "draw/draw_bg.h"

void draw_x_y_line(canvas_t *canvas);
void change_x_y_style(canvas_t *canvas, int style);
void change_x_gap_style(canvas_t *canvas, int style);
