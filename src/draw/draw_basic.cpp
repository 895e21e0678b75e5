#include "draw/draw_basic.h"

#include <cmath>
#include <cstdio>

#include "config/paths.h"
#include "draw/draw_main_win.h"
#include "draw/images.h"

namespace {

constexpr uint8_t WHITE[3] = {255, 255, 255};

// What the job's data puts on a chart below layer 40 (bar outlines, value
// labels, the verdict) is data all the same: it goes with the data, so that
// deleting the data and drawing it again leaves nothing stale behind.
void file_as_data(canvas_t *canvas, Evas_Object *obj)
{
    canvas->data_list = eina_list_append(canvas->data_list, obj);
}

}  // namespace

void file_by_layer(canvas_t *canvas, Evas_Object *obj, int layer)
{
    if (layer < LAYER_DATA)
        canvas->chart_list = eina_list_append(canvas->chart_list, obj);
    else
        canvas->data_list = eina_list_append(canvas->data_list, obj);
    evas_object_layer_set(obj, layer);
}

Evas_Object *add_rect(int r, int g, int b, int x, int y, int w, int h)
{
    Evas_Object *rect = evas_object_rectangle_add(evas_object_evas_get(win));
    evas_object_color_set(rect, r, g, b, 255);
    evas_object_resize(rect, w, h);
    evas_object_move(rect, x, y);
    evas_object_show(rect);
    return rect;
}

void colour_list(Eina_List *list, int r, int g, int b)
{
    Eina_List *l;
    void *obj;
    EINA_LIST_FOREACH(list, l, obj)
        evas_object_color_set(static_cast<Evas_Object *>(obj), r, g, b, 255);
}

const stroke_t STROKE_CURVE = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 1}, {-1, 0, -1, 0}, {0, -1, 0, -1}};
const stroke_t STROKE_RAMP = {{0, 0, 0, 0}, {1, 0, 1, 0}, {0, 1, 0, 1}, {-1, 0, -1, 0}, {0, -1, 0, -1}};
const stroke_t STROKE_OUTLINE = {{0, 0, 0, 0}, {0, -1, 0, -1}, {0, 1, 0, 1}, {-1, 0, -1, 0}, {1, 0, 1, 0}};

void draw_line(canvas_t *canvas, int x0, int y0, int x1, int y1, const uint8_t *colour, int layer)
{
    if (canvas == nullptr)
        return;
    Evas_Object *line = evas_object_line_add(evas_object_evas_get(win));
    evas_object_anti_alias_set(line, EINA_TRUE);
    evas_object_line_xy_set(line, x0, y0, x1, y1);
    evas_object_color_set(line, colour[0], colour[1], colour[2], 255);
    evas_object_show(line);
    file_by_layer(canvas, line, layer);
    if (layer == LAYER_DATA_LINE)
        canvas->data_line_list = eina_list_append(canvas->data_line_list, line);
}

void draw_rect(canvas_t *canvas, int r, int g, int b, int x, int y, int w, int h, int layer)
{
    if (canvas == nullptr)
        return;
    file_by_layer(canvas, add_rect(r, g, b, x, y, w, h), layer);
}

Evas_Object *load_image(const char *path, missing_image missing, const char *error)
{
    Evas_Object *img = elm_image_add(win);
    elm_image_preload_disabled_set(img, EINA_TRUE);
    if (elm_image_file_set(img, path, nullptr))
        return img;
    if (error != nullptr)
        fputs(error, stdout);
    else
        printf("error: could not load image \"%s\"\n", path);
    if (missing == missing_image::keep_empty)
        return img;
    evas_object_del(img);
    return nullptr;
}

void draw_square_marker(canvas_t *canvas, int x, int y)
{
    draw_rect(canvas, 124, 124, 124, x - 3, y - 3, 7, 7, LAYER_DATA_BAR);
    draw_rect(canvas, 255, 255, 255, x - 2, y - 2, 5, 5, LAYER_DATA_BAR);
}

void draw_point(canvas_t *canvas, int x, int y, const char *image, int layer)
{
    if (canvas == nullptr)
        return;
    Evas_Object *img = load_image(device_cpath(image));
    if (img == nullptr)
        return;
    int w = 0, h = 0;
    elm_image_object_size_get(img, &w, &h);
    evas_object_resize(img, w, h);
    evas_object_move(img, x - w / 2, y - h / 2);
    evas_object_show(img);
    file_by_layer(canvas, img, layer);
}

Evas_Object *add_label(const char *markup, int x, int y, int w, int h, int layer)
{
    Evas_Object *label = elm_label_add(win);
    if (label == nullptr) {
        puts("label add error!!!\r");
        return nullptr;
    }
    elm_object_text_set(label, markup);
    evas_object_resize(label, w, h);
    evas_object_color_set(label, 255, 255, 255, 255);
    evas_object_move(label, x, y);
    evas_object_show(label);
    evas_object_layer_set(label, layer);
    return label;
}

void draw_test_result_text(canvas_t *canvas, const char *text)
{
    if (canvas == nullptr)
        return;
    Evas_Object *label = elm_label_add(win);
    elm_object_text_set(label, text);
    evas_object_resize(label, static_cast<int>(canvas->width), 20);
    evas_object_color_set(label, 255, 255, 255, 255);
    evas_object_move(label, canvas->x - 5, canvas->y + 2);
    evas_object_show(label);
    file_as_data(canvas, label);
    canvas->result_text = label;
}

void draw_test_result_img(canvas_t *canvas, int pass)
{
    if (canvas == nullptr)
        return;
    const char *path = device_cpath(image_path[pass ? IMAGE_PASS : IMAGE_FAIL]);
    Evas_Object *img = load_image(path);
    if (img == nullptr)
        return;
    elm_image_fill_outside_set(img, EINA_TRUE);
    evas_object_resize(img, 38, 38);
    evas_object_move(img, static_cast<int>(canvas->x + canvas->width - 40.0f + 2.0f), canvas->y - 39);
    evas_object_show(img);
    file_as_data(canvas, img);
    evas_object_layer_set(img, LAYER_TITLE);
}

void change_test_result_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr || canvas->result_text == nullptr)
        return;
    if (style == STYLE_DARK)
        evas_object_color_set(canvas->result_text, 255, 255, 255, 255);
    else if (style == STYLE_LIGHT)
        evas_object_color_set(canvas->result_text, 0, 0, 0, 255);
}

void change_data_text_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr)
        return;
    const int v = style == STYLE_LIGHT ? 0 : 255;
    colour_list(canvas->data_text_list, v, v, v);
}

void change_data_line_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr)
        return;
    static constexpr int green[2] = {255, 0};
    if (style == STYLE_DARK || style == STYLE_LIGHT)
        colour_list(canvas->data_line_list, 255, green[style], 0);
    else
        colour_list(canvas->data_line_list, 255, 255, 255);
}

void draw_stroke(canvas_t *canvas, int qx, int qy, int px, int py, const stroke_t &offsets,
                 const uint8_t *colour, int layer)
{
    for (const stroke_offset_t &o : offsets)
        draw_line(canvas, qx + o.dx0, qy + o.dy0, px + o.dx1, py + o.dy1, colour, layer);
}

void draw_guide_line(canvas_t *canvas, int x0, int x1, int y, int r, int g, int b)
{
    const uint8_t colour[3] = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
    draw_line(canvas, x0, y, x1, y, colour, LAYER_MARK);
}

void draw_x_tick(canvas_t *canvas, int x, int y0, int y1)
{
    if (canvas == nullptr)
        return;
    draw_line(canvas, x, y0, x, y1, WHITE, LAYER_MARK);
    canvas->x_gap_list = eina_list_append(canvas->x_gap_list, eina_list_last_data_get(canvas->chart_list));
}

Evas_Object *draw_x_tick_label(canvas_t *canvas, const char *markup, int x, int y, int w, int h)
{
    if (canvas == nullptr)
        return nullptr;
    Evas_Object *label = add_label(markup, x, y, w, h, LAYER_MARK);
    if (label == nullptr)
        return nullptr;
    canvas->chart_list = eina_list_append(canvas->chart_list, label);
    canvas->x_gap_text_list = eina_list_append(canvas->x_gap_text_list, label);
    return label;
}

Evas_Object *draw_pillar(canvas_t *canvas, int x, int y, int w, int h, const uint8_t *colour,
                         const char *value_markup, int label_dy)
{
    if (canvas == nullptr)
        return nullptr;
    Evas_Object *outline = add_rect(60, 60, 60, x - 1, y - 1, w + 2, h + 1);
    file_as_data(canvas, outline);
    evas_object_layer_set(outline, LAYER_OUTLINE);
    draw_rect(canvas, colour[0], colour[1], colour[2], x, y, w, h, LAYER_DATA_BAR);
    Evas_Object *label = add_label(value_markup, x - 2, y - label_dy, w, 20, LAYER_DATA_BAR);
    if (label == nullptr)
        return nullptr;
    file_as_data(canvas, label);
    canvas->data_text_list = eina_list_append(canvas->data_text_list, label);
    return label;
}

int label_text_width(Evas_Object *label)
{
    evas_object_smart_calculate(label);
    int w = 0, h = 0;
    evas_object_size_hint_min_get(label, &w, &h);
    return w;
}
