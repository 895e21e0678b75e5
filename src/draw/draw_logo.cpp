#include "draw/draw_logo.h"

#include <Elementary.h>

#include "config/paths.h"
#include "draw/draw_basic.h"
#include "draw/draw_main_win.h"
#include "draw/images.h"

Evas_Object *efl_logo_text = nullptr;

void draw_logo_and_title()
{
    if (win == nullptr)
        return;
    Evas_Object *logo = load_image(device_cpath(image_path[IMAGE_LOGO]), missing_image::keep_empty,
                                   "error: [read_configure]:could not load image.\r\n");
    elm_image_aspect_fixed_set(logo, EINA_FALSE);
    evas_object_resize(logo, 200, 200);
    evas_object_move(logo, 147, 24);
    evas_object_show(logo);
    evas_object_layer_set(logo, 0);

    Evas_Object *text = evas_object_text_add(evas_object_evas_get(win));
    evas_object_text_style_set(text, EVAS_TEXT_STYLE_PLAIN);
    evas_object_text_font_set(text, "arial.ttf", 20);
    evas_object_text_text_set(text, "Tervane Analyzer");
    evas_object_color_set(text, 200, 200, 200, 255);
    evas_object_move(text, 158, 204);
    evas_object_show(text);
    efl_logo_text = text;
}
