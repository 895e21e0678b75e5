// Chart title: bar image, icon and text.
#pragma once
#include "draw/draw_bg.h"

void draw_title(canvas_t *canvas);
void change_title_style(canvas_t *canvas, int style);
