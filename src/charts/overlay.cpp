#include "charts/overlay.h"

#include <cstdio>

#include "charts/geometry/bar_geometry.h"
#include "color/eotf.h"
#include "draw/draw_basic.h"
#include "measure/measure.h"

namespace {

constexpr uint8_t YELLOW[3] = {255, 255, 0};

struct label_fit_t {
    int font_size;
    int decimals;
};

}  // namespace

rgb_t signal_grey(float signal)
{
    const auto level = static_cast<uint8_t>(signal_grey_level(signal));
    return {level, level, level};
}

rgb_t code_colour(const std::array<int32_t, 3> &code)
{
    return {static_cast<uint8_t>(code[0]), static_cast<uint8_t>(code[1]), static_cast<uint8_t>(code[2])};
}

void draw_value_pillar(canvas_t *canvas, const rect_t &place, float v, const rgb_t &colour, int decimals,
                       int label_dy)
{
    const int x = place.x, y = place.y, w = place.w, h = place.h;
    char text[50] = {0};
    snprintf(text, sizeof text, "<align=center font_size=14> %0.*f", decimals, static_cast<double>(v));
    Evas_Object *label = draw_pillar(canvas, x, y, w, h, colour.data(), text, label_dy);
    if (label == nullptr || label_text_width(label) <= w)
        return;

    // Too wide for its bar: the label takes the width of its slot (the bars
    // stand 1.5 bar widths apart), centred on the bar, and the first of ever
    // smaller fonts and fewer decimals that fits there.
    const int room = w * 3 / 2 - 1;
    const int drop1 = decimals > 1 ? decimals - 1 : decimals;
    const label_fit_t fits[] = {{14, decimals}, {12, decimals}, {12, drop1}, {10, drop1}, {10, 0}, {8, 0}};
    for (const label_fit_t &f : fits) {
        snprintf(text, sizeof text, "<align=center font_size=%d>%0.*f", f.font_size, f.decimals,
                 static_cast<double>(v));
        elm_object_text_set(label, text);
        if (label_text_width(label) <= room)
            break;
    }
    evas_object_resize(label, room, 20);
    evas_object_move(label, x + (w - room) / 2, y - label_dy);
}

void draw_eotf_trace(canvas_t *canvas, const job_t &job, eotf_point_fn map, const color_t *prev,
                     const color_t &cur)
{
    int x = 0, y = 0;
    map(job, cur.c.ts0, cur.E_prime, &x, &y);
    if (prev != nullptr) {
        int px = 0, py = 0;
        map(job, prev->c.ts0, prev->E_prime, &px, &py);
        draw_line(canvas, px, py, x, y, YELLOW, LAYER_DATA_LINE);
    }
    draw_square_marker(canvas, x, y);
}

void draw_checker_pillars(canvas_t *canvas, const job_t &job, pillar_fn place, float color_t::*value, int label_dy)
{
    const eotf_row_t *eotf = find_eotf(job.target.test_type);
    if (canvas == nullptr || eotf == nullptr)
        return;
    for (int i = 0; i < CHECK_COUNT; ++i) {
        if (!job.store.check_measured[i])
            continue;
        const float v = job.store.check[i].*value;
        draw_value_pillar(canvas, place(job, i, v), v, code_colour((*eotf->checker_codes)[i]), 3, label_dy);
    }
}
