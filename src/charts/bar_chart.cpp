#include "charts/bar_chart.h"

#include <cstdio>
#include <string>
#include <vector>

#include "draw/draw_basic.h"

namespace {

// Layouts of the slot labels, the first one the usual. A text wider than its
// slot (a "100" among 32 slots) would be cut at the slot's edge, the last one
// against the plot's right edge; the chart's labels then all take the first
// tighter layout in which every text fits.
struct slot_layout_t {
    int font_size;
    const char *lead;  // in front of the text
};
constexpr slot_layout_t SLOT_LAYOUTS[] = {{12, " "}, {12, ""}, {11, ""}, {10, ""}, {9, ""}, {8, ""}};

struct slot_label_t {
    Evas_Object *label;
    std::string text;
};

std::string slot_markup(const slot_layout_t &l, const std::string &text)
{
    char markup[50] = {0};
    snprintf(markup, sizeof markup, "<align=center font_size=%d>%s%s", l.font_size, l.lead, text.c_str());
    return markup;
}

bool all_fit(const std::vector<slot_label_t> &labels, int width)
{
    for (const slot_label_t &s : labels)
        if (label_text_width(s.label) > width)
            return false;
    return true;
}

void fit_slot_labels(const std::vector<slot_label_t> &labels, int width)
{
    if (all_fit(labels, width))
        return;
    for (const slot_layout_t &l : SLOT_LAYOUTS) {
        for (const slot_label_t &s : labels)
            elm_object_text_set(s.label, slot_markup(l, s.text).c_str());
        if (all_fit(labels, width))
            return;
    }
}

}  // namespace

canvas_t *bar_chart::build(const job_t &job) const
{
    const plot_t &p = def_.chart.plot;
    canvas_t *canvas = build_chart_canvas(def_.chart);
    if (canvas == nullptr)
        return nullptr;
    for (const bar_guide_t &g : def_.guides)
        draw_guide_line(canvas, guide_left(p), guide_right(p), guide_y(p, g.value), g.r, g.g, g.b);

    const int n = def_.slot_count(job);
    const float u = bar_unit(p.width, n);
    const int bottom = plot_bottom(p);
    const int width = slot_label_width(u);
    std::vector<slot_label_t> labels;
    for (int i = 0; i < n; ++i) {
        char value[24] = {0};
        def_.slot_text(job, i, value, sizeof value);
        const int boundary = slot_boundary(p.x, i, u);
        Evas_Object *label = draw_x_tick_label(canvas, slot_markup(SLOT_LAYOUTS[0], value).c_str(), boundary - 2,
                                               bottom, width, 15);
        if (label == nullptr) {
            fit_slot_labels(labels, width);
            return canvas;
        }
        labels.push_back({label, value});
        draw_x_tick(canvas, boundary, bottom, bottom + 5);
    }
    fit_slot_labels(labels, width);
    // A chart without slots has no row to close.
    if (n > 0)
        draw_x_tick(canvas, closing_boundary(p, u), bottom, bottom + 5);
    return canvas;
}

rect_t bar_chart::pillar(const job_t &job, int i, float v) const
{
    return pillar_rect(def_.bars, def_.slot_count(job), i, v);
}
