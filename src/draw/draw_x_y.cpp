#include "draw/draw_x_y.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "draw/draw_basic.h"
#include "draw/draw_main_win.h"

namespace {

// A grid rectangle: a dash or a side of the frame.
Evas_Object *grid_rect(canvas_t *canvas, int v, int x, int y, int w, int h)
{
    Evas_Object *rect = add_rect(v, v, v, x, y, w, h);
    file_by_layer(canvas, rect, LAYER_GRID);
    return rect;
}

// A grid value label: the value with `digits` significant digits.
void add_grid_label(canvas_t *canvas, const char *format, float value, int digits, int x, int y)
{
    // %g with `digits` significant digits (at most 17, as gcvt takes them),
    // cut to the 9 characters the label's number has room for: the charts'
    // values stay far shorter.
    char number[10] = {0};
    char text[50] = {0};
    if (snprintf(number, sizeof number, "%.*g", std::min(digits, 17), static_cast<double>(value)) < 0)
        return;
    snprintf(text, sizeof text, format, number);
    Evas_Object *label = add_label(text, x, y, 40, 15, LAYER_GRID);
    if (label == nullptr)
        return;
    canvas->chart_list = eina_list_append(canvas->chart_list, label);
    canvas->x_y_text_list = eina_list_append(canvas->x_y_text_list, label);
}

// Evas takes every opaque object for an obscurer and, for each object it
// draws, walks all obscurers stacked above it. With thousands of opaque grid
// dashes every full render of a page became quadratic (about 30 ms each).
// The dashes are therefore clipped by one opaque white image per chart: an
// image clipper makes them non-obscuring, and a fully opaque mask leaves
// their pixels exactly as they were. Made on the first dash, so a chart
// without a grid gets none. The image is marked as having alpha although its
// one pixel is opaque: Evas takes an unchanged opaque image for something that
// repaints its area and drops that area from a partial redraw, but a clipper
// never paints, so the strip it overhangs beyond the chart's background came
// out black on the framebuffer engine.
Evas_Object *dash_clip(canvas_t *canvas, Evas_Object *&clip)
{
    if (clip != nullptr)
        return clip;
    clip = evas_object_image_filled_add(evas_object_evas_get(win));
    evas_object_image_size_set(clip, 1, 1);
    evas_object_image_alpha_set(clip, EINA_TRUE);
    // Stretching one pixel needs no filtering; the smooth scaler would cost
    // more than the whole grid.
    evas_object_image_smooth_scale_set(clip, EINA_FALSE);
    auto *pixel = static_cast<uint32_t *>(evas_object_image_data_get(clip, EINA_TRUE));
    if (pixel != nullptr)
        *pixel = 0xffffffff;
    evas_object_image_data_set(clip, pixel);
    // Covers every dash: offsets run to the plot's width and height plus
    // a dash length.
    const int w = std::max(1, static_cast<int>(canvas->width) + 3);
    const int h = std::max(1, static_cast<int>(canvas->height) + 3);
    evas_object_resize(clip, w, h);
    evas_object_move(clip, canvas->x, canvas->y);
    evas_object_show(clip);
    canvas->chart_list = eina_list_append(canvas->chart_list, clip);
    evas_object_layer_set(clip, LAYER_GRID);
    return clip;
}

void add_dash(canvas_t *canvas, Evas_Object *&clip, int x, int y, int w, int h)
{
    Evas_Object *rect = grid_rect(canvas, 100, x, y, w, h);
    evas_object_clip_set(rect, dash_clip(canvas, clip));
}

}  // namespace

void draw_x_y_line(canvas_t *canvas)
{
    if (canvas == nullptr)
        return;
    const int n = canvas->x_grid_count;
    const int m = canvas->y_grid_count;
    const float width = canvas->width;
    const float height = canvas->height;
    Evas_Object *clip = nullptr;

    if (n >= 2) {
        for (int i = 1; i < n; ++i) {
            const int xi = static_cast<int>(canvas->x + static_cast<double>(width) / n * i + 0.5);
            if (height >= 0) {
                for (int o = 0; o <= height; o += 9) {
                    const int h = o + 2 > height ? static_cast<int>(height - o) : 2;
                    add_dash(canvas, clip, xi, canvas->y + o, 1, h);
                }
            }
            if (canvas->down_label != nullptr) {
                const label_t *d = canvas->down_label;
                const float value = d->max - static_cast<float>(n - i) * d->step;
                add_grid_label(canvas, "<align=center font_size=14> %s", value, d->digits, xi - 20,
                               static_cast<int>(canvas->y + height - 15.0 - 1.0));
            }
        }
    }
    if (m >= 2) {
        for (int j = 1; j < m; ++j) {
            const int yj = static_cast<int>(canvas->y + static_cast<double>(height) / m * j + 0.5);
            if (width >= 2.0f) {
                for (int o = 2; o <= width; o += 9) {
                    const int w = o + 2 > width ? static_cast<int>(width - o) : 2;
                    add_dash(canvas, clip, canvas->x + o, yj, w, 1);
                }
            }
            if (canvas->left_label != nullptr) {
                const label_t *l = canvas->left_label;
                const float value = l->max - static_cast<float>(j) * l->step;
                add_grid_label(canvas, "<align=left font_size=14> %s", value, l->digits, canvas->x + 1, yj - 7);
            }
        }
    }

    const int full_w = static_cast<int>(width + 1.0);
    const int full_h = static_cast<int>(height + 1.0 + 40.0);
    const int frame[5][4] = {
        {canvas->x, canvas->y - 40, full_w, 1},
        {canvas->x, canvas->y - 1, full_w, 1},
        {canvas->x, static_cast<int>(canvas->y + height), full_w, 1},
        {canvas->x, canvas->y - 40, 1, full_h},
        {static_cast<int>(canvas->x + width), canvas->y - 40, 1, full_h},
    };
    for (const auto &f : frame) {
        Evas_Object *rect = grid_rect(canvas, 192, f[0], f[1], f[2], f[3]);
        canvas->x_y_list = eina_list_append(canvas->x_y_list, rect);
    }
}

void change_x_y_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr)
        return;
    static constexpr int frame_grey[2] = {192, 63};
    const bool known = style == STYLE_DARK || style == STYLE_LIGHT;
    const int frame = known ? frame_grey[style] : 255;
    const int text = known && style == STYLE_LIGHT ? 0 : 255;
    colour_list(canvas->x_y_list, frame, frame, frame);
    colour_list(canvas->x_y_text_list, text, text, text);
}

void change_x_gap_style(canvas_t *canvas, int style)
{
    if (canvas == nullptr)
        return;
    const int v = style == STYLE_LIGHT ? 0 : 255;
    colour_list(canvas->x_gap_list, v, v, v);
    colour_list(canvas->x_gap_text_list, v, v, v);
}
