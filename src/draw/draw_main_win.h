// The main window and its background.
#pragma once
#include <Elementary.h>

extern Evas_Object *win;

void draw_win();
void set_win_bg_color(int r, int g, int b);
void __close_win(void *data, Evas_Object *obj, void *event_info);

// True when Elementary renders into memory (ELM_DISPLAY=buffer).
bool headless_display();

// Holds the window's canvas events frozen for its lifetime. Every object
// added or deleted otherwise ends in a pass over all objects of the canvas
// when Evas thaws its events; with thousands of grid dashes that pass made
// building and deleting a page quadratic. Nested holders are fine.
struct canvas_freeze {
    Evas *evas;
    canvas_freeze() : evas(win != nullptr ? evas_object_evas_get(win) : nullptr)
    {
        if (evas != nullptr)
            evas_event_freeze(evas);
    }
    ~canvas_freeze()
    {
        if (evas != nullptr)
            evas_event_thaw(evas);
    }
    canvas_freeze(const canvas_freeze &) = delete;
    canvas_freeze &operator=(const canvas_freeze &) = delete;
};
