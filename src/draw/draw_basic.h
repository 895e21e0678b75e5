// Drawing primitives, verdict widgets and the chart marks built on them.
#pragma once
#include <cstdint>

#include "draw/draw_bg.h"

// Layers of the report.
enum : int {
    LAYER_BG = 0,
    LAYER_BG_IMAGE = 1,
    LAYER_GRID = 20,
    LAYER_TITLE_BAR = 21,
    LAYER_TITLE = 22,
    LAYER_MARK = 30,
    LAYER_OUTLINE = 31,
    LAYER_DATA = 40,
    LAYER_DATA_LINE = 41,
    LAYER_DATA_BAR = 42,
};

// A filled rectangle on the main window, shown; filed nowhere.
Evas_Object *add_rect(int r, int g, int b, int x, int y, int w, int h);
// Files obj by its layer (below 40 in chart_list, else data_list) and sets it.
void file_by_layer(canvas_t *canvas, Evas_Object *obj, int layer);
// Colours every object of the list (r, g, b), opaque.
void colour_list(Eina_List *list, int r, int g, int b);

void draw_line(canvas_t *canvas, int x0, int y0, int x1, int y1, const uint8_t *colour, int layer);
void draw_rect(canvas_t *canvas, int r, int g, int b, int x, int y, int w, int h, int layer);
// The image at its own size centred on (x, y), filed by layer.
void draw_point(canvas_t *canvas, int x, int y, const char *image, int layer);
// A measured point: a grey 7 x 7 square with a white 5 x 5 centre on (x, y),
// on layer 42.
void draw_square_marker(canvas_t *canvas, int x, int y);
void draw_test_result_text(canvas_t *canvas, const char *text);
void draw_test_result_img(canvas_t *canvas, int pass);
void change_test_result_style(canvas_t *canvas, int style);
void change_data_text_style(canvas_t *canvas, int style);
void change_data_line_style(canvas_t *canvas, int style);

// What becomes of an image object whose file cannot be loaded: deleted (the
// caller draws nothing), or kept empty where a background keeps its place.
enum class missing_image { drop, keep_empty };

// An image object on the main window loaded from a (resolved) path, decoded
// at once so the very next render shows it. When the file cannot be loaded
// it prints `error`, by default "error: could not load image \"<path>\"\n",
// and returns null or, with keep_empty, the empty object.
Evas_Object *load_image(const char *path, missing_image missing = missing_image::drop, const char *error = nullptr);

// A label widget on the main window with the given markup, size, position,
// colour white and layer; null (after "label add error!!!\r") when it
// cannot be created.
Evas_Object *add_label(const char *markup, int x, int y, int w, int h, int layer);

// One stroke of a reference curve or data line, drawn as five one-pixel
// lines: per line, the offsets of its start and of its end.
struct stroke_offset_t {
    int dx0, dy0, dx1, dy1;
};
using stroke_t = stroke_offset_t[5];
// (q)-(p); start moved right; both down; both left; both up.
extern const stroke_t STROKE_CURVE;
// (q)-(p); both right; both down; both left; both up.
extern const stroke_t STROKE_RAMP;
// (q)-(p); both up; both down; both left; both right.
extern const stroke_t STROKE_OUTLINE;
void draw_stroke(canvas_t *canvas, int qx, int qy, int px, int py, const stroke_t &offsets,
                 const uint8_t *colour, int layer);

// Chart marks on layer 30.
void draw_guide_line(canvas_t *canvas, int x0, int x1, int y, int r, int g, int b);
// A white x tick from (x, y0) to (x, y1), filed in x_gap_list.
void draw_x_tick(canvas_t *canvas, int x, int y0, int y1);
// A white x-axis label filed in x_gap_text_list; null when it cannot be made.
Evas_Object *draw_x_tick_label(canvas_t *canvas, const char *markup, int x, int y, int w, int h);

// A data bar: dark outline (layer 31), the bar in its colour (layer 42) and
// its value label above it (layer 42, also in data_text_list), all three in
// data_list. Returns the label, or null when it could not be made.
Evas_Object *draw_pillar(canvas_t *canvas, int x, int y, int w, int h, const uint8_t *colour,
                 const char *value_markup, int label_dy);

// The width the label's text takes as laid out, in pixels.
int label_text_width(Evas_Object *label);
