// The configuration and verdict panel.
#pragma once
#include <Elementary.h>

void draw_config_chart();
void change_config_text_style(const void *object, int style);

// Every label of the panel, in drawing order (caption, value, row by row,
// then the legend words).
Eina_List *get_config_text_list();

// The serial number as the panel shows it ("" before the panel is drawn).
const char *panel_serial_number();
