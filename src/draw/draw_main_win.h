// The main window and its background.
#pragma once
#include <Elementary.h>

extern Evas_Object *win;

void draw_win();
void set_win_bg_color(int r, int g, int b);
void __close_win(void *data, Evas_Object *obj, void *event_info);

// True when Elementary renders into memory (ELM_DISPLAY=buffer).
bool headless_display();
