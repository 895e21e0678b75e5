// Looking at what a chart drew on the headless canvas: geometry, colours,
// texts, layers, list membership and the verdict.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/reference.h"
#include "draw/draw_bg.h"
#include "draw/draw_delete.h"
#include "draw/draw_main_win.h"
#include "test_support.h"

// A rectangle (x, y, w, h) or a line's end points (x0, y0, x1, y1).
struct quad {
    int a, b, c, d;
    bool operator==(const quad &) const = default;
};
inline std::ostream &operator<<(std::ostream &os, const quad &q)
{
    return os << "(" << q.a << ", " << q.b << ", " << q.c << ", " << q.d << ")";
}

inline quad geometry(Evas_Object *o)
{
    quad q{};
    evas_object_geometry_get(o, &q.a, &q.b, &q.c, &q.d);
    return q;
}

inline quad ends(Evas_Object *line)
{
    quad q{};
    evas_object_line_xy_get(line, &q.a, &q.b, &q.c, &q.d);
    return q;
}

inline std::string colour(Evas_Object *o)
{
    int r, g, b, a;
    evas_object_color_get(o, &r, &g, &b, &a);
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

inline std::string label_text(Evas_Object *label)
{
    const char *t = elm_object_text_get(label);
    return t != nullptr ? t : "";
}

// The objects of a list in order, optionally only one evas type and layer.
inline std::vector<Evas_Object *> objects(Eina_List *list, const char *type = nullptr, int layer = -1)
{
    std::vector<Evas_Object *> out;
    for (Eina_List *l = list; l != nullptr; l = eina_list_next(l)) {
        auto *o = static_cast<Evas_Object *>(eina_list_data_get(l));
        if ((type == nullptr || strcmp(evas_object_type_get(o), type) == 0) &&
            (layer < 0 || evas_object_layer_get(o) == layer))
            out.push_back(o);
    }
    return out;
}

inline bool in_list(Eina_List *list, Evas_Object *o)
{
    return eina_list_data_find(list, o) != nullptr;
}

// The chart's own lines on layer 30 other than its x ticks: threshold and
// guide lines, reference curves.
inline std::vector<Evas_Object *> marks(canvas_t *c)
{
    std::vector<Evas_Object *> out;
    for (Evas_Object *o : objects(c->chart_list, "line", 30))
        if (!in_list(c->x_gap_list, o))
            out.push_back(o);
    return out;
}

// The latest verdict of a chart: its text and whether the image beside it
// is the pass image.
struct verdict {
    std::string text;
    bool pass;
};
inline verdict verdict_of(canvas_t *c)
{
    const char *file = nullptr;
    elm_image_file_get(static_cast<Evas_Object *>(eina_list_last_data_get(c->chart_list)), &file, nullptr);
    const std::string f = file != nullptr ? file : "";
    return {label_text(c->result_text), f.ends_with("/result_true.png")};
}

// Headless window with the build's artwork and a fresh default target.
inline void fresh_reference()
{
    setenv("ANALYZER_ROOT", ANALYZER_BUILD_ROOT, 1);
    ensure_headless_efl();
    testing::internal::CaptureStdout();
    init_reference();
    init_ref_matrix();
    testing::internal::GetCapturedStdout();
}

// Evas frees deleted objects only when the canvas is rendered; without that
// they pile up in its layers and slow every later test down.
inline void flush_deleted()
{
    evas_norender(evas_object_evas_get(win));
}

// Standard output of a call.
template <typename F>
std::string output_of(F &&f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

// Canvases a test built by hand; deleted with their objects at the end.
struct canvas_keeper {
    std::vector<canvas_t *> made;
    canvas_t *keep(canvas_t *c)
    {
        if (c != nullptr)
            made.push_back(c);
        return c;
    }
    ~canvas_keeper()
    {
        for (canvas_t *c : made) {
            del_canvas(c);
            free(c);
        }
        flush_deleted();
    }
};
