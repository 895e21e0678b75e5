#include "draw/draw_main_win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/paths.h"

Evas_Object *win = nullptr;

namespace {
Evas_Object *win_bg = nullptr;
}

bool headless_display()
{
    const char *display = std::getenv("ELM_DISPLAY");
    return display != nullptr && std::strcmp(display, "buffer") == 0;
}

void draw_win()
{
    // "arial.ttf" is looked up in the program's own font folder.
    evas_font_path_global_append(device_cpath(FONT_DIR));

    // The device has no pointer: no software cursor on the framebuffer engine.
    elm_config_softcursor_mode_set(ELM_SOFTCURSOR_MODE_OFF);
    win = elm_win_add(nullptr, "MAIN_WIN", ELM_WIN_BASIC);
    if (win == nullptr) {
        printf("Error: [%s] cannot create the main window.\n", "draw_win");
        return;
    }
    elm_win_autodel_set(win, EINA_TRUE);
    evas_object_smart_callback_add(win, "delete,request", __close_win, nullptr);

    win_bg = elm_bg_add(win);
    elm_bg_color_set(win_bg, 37, 37, 37);
    evas_object_size_hint_weight_set(win_bg, 1.0, 1.0);
    elm_win_resize_object_add(win, win_bg);
    evas_object_show(win_bg);

    evas_object_resize(win, 1921, 1081);
    elm_win_center(win, EINA_TRUE, EINA_TRUE);
    evas_object_show(win);
    elm_win_autodel_set(win, EINA_TRUE);
}

void set_win_bg_color(int r, int g, int b)
{
    if (win_bg != nullptr)
        elm_bg_color_set(win_bg, r, g, b);
}

void __close_win(void *, Evas_Object *, void *)
{
    puts("结束程序!");
    elm_exit();
}
