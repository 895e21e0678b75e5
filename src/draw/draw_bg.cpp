#include "draw/draw_bg.h"

#include <cstdio>

#include "config/paths.h"
#include "draw/draw_basic.h"
#include "draw/draw_main_win.h"
#include "draw/draw_title.h"
#include "draw/draw_x_y.h"

void *(*chart_calloc)(size_t count, size_t size) = calloc;

void draw_bg(canvas_t *canvas)
{
    if (canvas == nullptr)
        return;
    const int w = static_cast<int>(canvas->width);
    const int h = static_cast<int>(canvas->height);
    Evas_Object *bg = elm_bg_add(win);
    elm_bg_color_set(bg, 32, 32, 32);
    evas_object_resize(bg, w, h);
    evas_object_move(bg, canvas->x, canvas->y);
    evas_object_show(bg);
    canvas->chart_list = eina_list_append(canvas->chart_list, bg);
    evas_object_layer_set(bg, LAYER_BG);
    canvas->bg = bg;

    if (canvas->bg_image == nullptr)
        return;
    Evas_Object *img = load_image(canvas->bg_image, missing_image::keep_empty);
    elm_image_aspect_fixed_set(img, EINA_FALSE);
    evas_object_resize(img, w, h);
    evas_object_move(img, canvas->x, canvas->y);
    evas_object_show(img);
    canvas->chart_list = eina_list_append(canvas->chart_list, img);
    evas_object_layer_set(img, LAYER_BG_IMAGE);
}

void change_bg_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr || canvas->bg == nullptr)
        return;
    if (style == STYLE_DARK)
        evas_object_show(canvas->bg);
    else if (style == STYLE_LIGHT)
        evas_object_hide(canvas->bg);
}

canvas_t *build_chart_canvas(const chart_def_t &def)
{
    auto *title = static_cast<title_t *>(chart_calloc(1, sizeof(title_t)));
    if (title == nullptr) {
        perror("title");
        return nullptr;
    }
    title->width = def.title_width;
    title->icon = device_cpath(def.icon);
    title->text = def.text;

    auto *left = static_cast<label_t *>(chart_calloc(1, sizeof(label_t)));
    if (left == nullptr) {
        perror("left_label");
        free(title);
        return nullptr;
    }
    *left = def.left;

    auto *down = static_cast<label_t *>(chart_calloc(1, sizeof(label_t)));
    if (down == nullptr) {
        perror("down_label");
        free(left);
        free(title);
        return nullptr;
    }
    *down = def.down;

    auto *canvas = static_cast<canvas_t *>(chart_calloc(1, sizeof(canvas_t)));
    if (canvas == nullptr) {
        perror("canvas");
        free(down);
        free(left);
        free(title);
        return nullptr;
    }
    canvas->width = def.plot.width;
    canvas->height = def.plot.height;
    canvas->x = def.plot.x;
    canvas->y = def.plot.y;
    canvas->x_grid_count = def.x_grid_count;
    canvas->y_grid_count = def.y_grid_count;
    canvas->bg_image = def.bg_image != nullptr ? device_cpath(def.bg_image) : nullptr;
    canvas->title = title;
    canvas->left_label = left;
    canvas->down_label = down;

    draw_bg(canvas);
    draw_title(canvas);
    draw_x_y_line(canvas);
    return canvas;
}
