// The configuration and verdict panel.
#pragma once
#include <Elementary.h>

void draw_config_chart();
void change_config_text_style(const void *object, int style);
