// The HDR report page: four chart canvases.
#pragma once
#include "draw/draw_bg.h"

inline constexpr int HDR_SLOTS = 4;

canvas_t **get_hdr_page();
void init_hdr_page();
void show_hdr_page();
void show_hdr_chart_object();
void show_hdr_chart_data_object();
void del_hdr_chart_data_object();
void del_hdr_page();
void render_hdr_chart_data_object();
void change_hdr_chart_style(int style);
