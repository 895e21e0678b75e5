// The SDR report page: five chart canvases.
#pragma once
#include "draw/draw_bg.h"

inline constexpr int SDR_SLOTS = 5;

canvas_t **get_sdr_page();
void init_sdr_page();
void show_sdr_page();
void show_sdr_chart_object();
void show_sdr_chart_data_object();
void del_sdr_page();
void render_sdr_chart_data_object();
void change_sdr_chart_style(int style);
