// Chart canvas records, the plot background and the construction sequence
// that every chart constructor follows.
#pragma once
#include <cstdint>
#include <cstdlib>

#include <Elementary.h>

#include "draw/pixel.h"

// The two colour styles: the dark one the charts are built in, and the light
// one for the capture on the white window background. Restyle functions take
// the style as an int and leave other values to their own rules.
enum style_t : int {
    STYLE_DARK = 0,
    STYLE_LIGHT = 1,
};

struct title_t {
    int32_t width;
    const char *icon;
    const char *text;
    Evas_Object *icon_obj;
    Evas_Object *bar_obj;
    Evas_Object *text_obj;
};

struct label_t {
    float max;
    float step;
    int32_t digits;
};

struct canvas_t {
    float width;
    float height;
    int32_t x;
    int32_t y;
    uint8_t x_grid_count;
    uint8_t y_grid_count;
    title_t *title;
    const char *bg_image;
    Evas_Object *bg;
    label_t *left_label;
    label_t *down_label;
    Eina_List *chart_list;
    Eina_List *data_list;
    Evas_Object *result_text;
    Eina_List *x_y_list;
    Eina_List *x_y_text_list;
    Eina_List *x_gap_list;
    Eina_List *x_gap_text_list;
    Eina_List *data_text_list;
    Eina_List *data_line_list;
};

void draw_bg(canvas_t *canvas);
void change_bg_style(canvas_t *canvas, int style);

// The fixed values of one chart. Image paths are device paths ("/usr/local/app/...").
struct chart_def_t {
    plot_t plot;
    uint8_t x_grid_count = 1;  // 1: no vertical grid, the chart draws its own x ticks
    uint8_t y_grid_count;
    const char *bg_image = nullptr;  // null for none
    int32_t title_width;
    const char *icon;
    const char *text;
    label_t left;
    label_t down;
};

// The plot area of a built canvas.
inline plot_t plot_of(const canvas_t &c)
{
    return {c.x, c.y, c.width, c.height};
}

// Builds the records and canvas of a chart and draws its background, title
// and axes. Returns the canvas, or null (records freed) when an allocation
// fails. The chart's scale limits must be set before, its own marks after.
// The canvas belongs to the page that asked for it; chart modules keep no
// reference to it.
canvas_t *build_chart_canvas(const chart_def_t &def);

// Allocator used for the records; tests replace it to exercise failures.
extern void *(*chart_calloc)(size_t count, size_t size);
