#include "draw/draw_title.h"

#include "config/paths.h"
#include "draw/draw_basic.h"
#include "draw/draw_main_win.h"
#include "draw/images.h"

void draw_title(canvas_t *canvas)
{
    if (canvas == nullptr || canvas->title == nullptr)
        return;
    title_t *t = canvas->title;
    const int x = canvas->x;
    const int y = canvas->y;

    Evas_Object *bar = load_image(device_cpath(image_path[IMAGE_TITLE_BAR]));
    if (bar == nullptr)
        return;
    elm_image_fill_outside_set(bar, EINA_TRUE);
    evas_object_resize(bar, t->width + 1, 40);
    evas_object_move(bar, x, y - 40);
    evas_object_show(bar);
    canvas->chart_list = eina_list_append(canvas->chart_list, bar);
    evas_object_layer_set(bar, LAYER_TITLE_BAR);
    t->bar_obj = bar;

    Evas_Object *icon = load_image(t->icon);
    if (icon == nullptr)
        return;
    elm_image_fill_outside_set(icon, EINA_TRUE);
    evas_object_resize(icon, 40, 40);
    evas_object_move(icon, x, y - 40);
    evas_object_show(icon);
    canvas->chart_list = eina_list_append(canvas->chart_list, icon);
    evas_object_layer_set(icon, LAYER_TITLE);
    t->icon_obj = icon;

    Evas_Object *text = evas_object_text_add(evas_object_evas_get(win));
    evas_object_text_style_set(text, EVAS_TEXT_STYLE_PLAIN);
    evas_object_text_font_set(text, "arial.ttf", 20);
    evas_object_text_text_set(text, t->text);
    evas_object_color_set(text, 200, 200, 200, 255);
    evas_object_move(text, x + 40, y - 35);
    evas_object_show(text);
    canvas->chart_list = eina_list_append(canvas->chart_list, text);
    evas_object_layer_set(text, LAYER_TITLE);
    t->text_obj = text;
}

void change_title_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr || canvas->title == nullptr)
        return;
    title_t *t = canvas->title;
    if (style == STYLE_DARK) {
        if (t->bar_obj != nullptr)
            evas_object_show(t->bar_obj);
        if (t->text_obj != nullptr)
            evas_object_color_set(t->text_obj, 200, 200, 200, 255);
    } else if (style == STYLE_LIGHT) {
        if (t->bar_obj != nullptr)
            evas_object_hide(t->bar_obj);
        if (t->text_obj != nullptr)
            evas_object_color_set(t->text_obj, 55, 55, 55, 255);
    }
}
