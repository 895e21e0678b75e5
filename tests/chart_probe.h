// Charts on the headless canvas: a fixture that builds and deletes them, and
// probes of what they drew (places, colours, texts, layers, lists, verdicts).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include "color/reference.h"
#include "draw/draw_delete.h"
#include "draw/draw_main_win.h"
#include "measure/measure.h"
#include "measure/verdict.h"
#include "report/report_page.h"
#include "test_support.h"

// The report pages the chart tests build, as a run owns them.
inline report_pages_t pages;

// A rectangle (x, y, w, h), a line's end points (x0, y0, x1, y1) or a point (x, y, 0, 0).
struct quad {
    int a, b, c, d;
    bool operator==(const quad &) const = default;
    friend std::ostream &operator<<(std::ostream &os, const quad &q)
    {
        return os << "(" << q.a << ", " << q.b << ", " << q.c << ", " << q.d << ")";
    }
};

inline quad where(Evas_Object *o)
{
    quad q{};
    if (strcmp(evas_object_type_get(o), "line") == 0)
        evas_object_line_xy_get(o, &q.a, &q.b, &q.c, &q.d);
    else
        evas_object_geometry_get(o, &q.a, &q.b, &q.c, &q.d);
    return q;
}
// What a chart function gives: a pillar rectangle, or the pixel it writes
// through its two output pointers.
template <typename F, typename... In>
quad outputs(F f, In... in)
{
    quad q{};
    if constexpr (std::is_invocable_v<F, In..., int *, int *>) {
        f(in..., &q.a, &q.b);
    } else {
        const rect_t r = f(in...);
        q = {r.x, r.y, r.w, r.h};
    }
    return q;
}
inline std::string colour(Evas_Object *o)
{
    int r, g, b, a;
    evas_object_color_get(o, &r, &g, &b, &a);
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}
inline std::string text(Evas_Object *label)
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
// The chart's own lines other than its x ticks: guide lines, reference curves.
inline std::vector<Evas_Object *> marks(canvas_t *c)
{
    std::vector<Evas_Object *> out;
    for (Evas_Object *o : objects(c->chart_list, "line", 30))
        if (eina_list_data_find(c->x_gap_list, o) == nullptr)
            out.push_back(o);
    return out;
}

// The latest verdict of a chart: its text after the markup, and whether the
// image beside it is the pass image.
struct verdict {
    std::string text;
    bool pass;
};
inline verdict verdict_of(canvas_t *c)
{
    const char *file = nullptr;
    elm_image_file_get(static_cast<Evas_Object *>(eina_list_last_data_get(c->data_list)), &file, nullptr);
    const std::string markup = "<font_size=16 align=right>", t = text(c->result_text);
    EXPECT_EQ(t.rfind(markup, 0), 0u) << t;
    return {t.substr(std::min(markup.size(), t.size())), file != nullptr && std::string(file).ends_with("_true.png")};
}

// A headless window with the build's artwork and a job of the default target
// with an empty store; afterwards the pages and the charts built by hand are
// deleted.
class ChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ANALYZER_ROOT", ANALYZER_BUILD_ROOT, 1);
        ensure_headless_efl();
        output_of([this] {
            job.target = init_reference();
            init_ref_matrix(job.target);
        });
        // A store filled by hand stands for a complete job with its white.
        job.evaluated = true;
        job.white.measured = true;
        job.store.gamut_measured.fill(true);
        job.store.check_measured.fill(true);
    }
    void TearDown() override
    {
        for (canvas_t *c : made) {
            del_canvas(c);
            free(c);
        }
        del_pages();
    }
    // A chart built by hand, with its console output.
    canvas_t *build(canvas_t *(*constructor)(const job_t &), std::string *out = nullptr)
    {
        const std::string printed = output_of([&] { made.push_back(constructor(job)); });
        if (out != nullptr)
            *out = printed;
        return made.back();
    }
    // Evas frees deleted objects only when the canvas is rendered; without
    // that they pile up in its layers and slow every later test down.
    static void del_pages()
    {
        output_of([] {
            del_page(pages, PAGE_SDR);
            del_page(pages, PAGE_HDR);
        });
        evas_norender(evas_object_evas_get(win));
    }
    // The target as set before a chart is built (its matrices derived).
    void use(int standard, int test_type, float gamma = 2.4f, int white = D65)
    {
        job.target = make_target(standard, test_type, gamma, white);
        job.kind = test_type > 1 ? REPORT_HDR : REPORT_SDR;
    }
    // The job's white level and its PQ value, as the evaluation sets them.
    void white_level(float level)
    {
        job.white.bright_Y = level;
        job.white.max_E = get_ST2084_inver_EOTF(level);
    }
    job_t job;
    std::vector<canvas_t *> made;
};
