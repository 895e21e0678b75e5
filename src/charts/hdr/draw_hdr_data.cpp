#include "charts/hdr/draw_hdr_data.h"

#include <cstdio>
#include <limits>

#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/pixel.h"
#include "config/reference.h"
#include "draw/draw_basic.h"
#include "draw/draw_hdr_page.h"
#include "measure/measure.h"

namespace {

// Page slots of the charts.
constexpr int SLOT_GRAY_DE2000 = 0;
constexpr int SLOT_GRAY_DEITP = 1;
constexpr int SLOT_EOTF = 2;
constexpr int SLOT_CHECKER = 3;

constexpr int LABEL_DY = 20;
constexpr uint8_t YELLOW[3] = {255, 255, 0};
constexpr const char *MARKER = "/usr/local/app/image/meas_white_7_7.png";

using pillar_coord_fn = void (*)(int, float, int *, int *, int *, int *);

// The two grayscale bar charts: page slot, pillar geometry and the value shown.
struct gray_bar_t {
    int slot;
    pillar_coord_fn coord;
    float color_t::*value;
};
constexpr gray_bar_t gray_bars[] = {
    {SLOT_GRAY_DE2000, get_hdr_gray_dE2000_pillar_coord, &color_t::dE2000},
    {SLOT_GRAY_DEITP, get_hdr_gray_dEITP_pillar_coord, &color_t::dEICTCP_240},
};

canvas_t **page = nullptr;
// Accumulated over one overlay pass, read by draw_hdr_data_avg.
float sum_gray_dE2000 = 0.0f;
float sum_gray_dEITP = 0.0f;
float max_gray_diff = 0.0f;
float sum_checker_dEITP = 0.0f;

// A pillar of value v with its label printed with the given decimals.
void draw_value_pillar(canvas_t *canvas, pillar_coord_fn coord, int index, float v, const uint8_t *colour,
                       int decimals)
{
    int x = 0, y = 0, w = 0, h = 0;
    coord(index, v, &x, &y, &w, &h);
    char text[50] = {0};
    snprintf(text, sizeof text, "<align=center font_size=14> %0.*f", decimals, static_cast<double>(v));
    draw_pillar(canvas, x, y, w, h, colour, text, LABEL_DY);
}

// The gray level of a test signal; NaN and negative signals are black.
uint8_t gray_level(float signal)
{
    const int g = px_round(signal * 255.0);
    return static_cast<uint8_t>(g < 0 ? 0 : g > 255 ? 255 : g);
}

void draw_gray(int i, const color_t *prev, const color_t *cur)
{
    if (i < hdr_gray_pillar_count) {
        const uint8_t g = gray_level(cur->c.ts0);
        const uint8_t colour[3] = {g, g, g};
        for (const gray_bar_t &bar : gray_bars) {
            if (page[bar.slot] != nullptr)
                draw_value_pillar(page[bar.slot], bar.coord, i, cur->*bar.value, colour, 2);
        }
        sum_gray_dE2000 += cur->dE2000;
        // The first patch (the black) does not count for ΔE ICtCp.
        if (i != 0)
            sum_gray_dEITP += cur->dEICTCP_240;
    }

    canvas_t *eotf = page[SLOT_EOTF];
    if (eotf != nullptr) {
        int x = 0, y = 0;
        get_hdr_gray_EOTF_coord(cur->c.ts0, cur->E_prime, &x, &y);
        if (i != 0 && prev != nullptr) {
            int px = 0, py = 0;
            get_hdr_gray_EOTF_coord(prev->c.ts0, prev->E_prime, &px, &py);
            draw_line(eotf, px, py, x, y, YELLOW, LAYER_DATA_LINE);
        }
        draw_point(eotf, x, y, MARKER, LAYER_DATA_BAR);
    }

    if (reference != nullptr) {
        const float d = get_diff_EOTF(cur->c.ts0, cur->E_prime);
        if (d > max_gray_diff)
            max_gray_diff = d;
    }
}

void draw_checker(int i, const color_t *cur)
{
    canvas_t *canvas = page[SLOT_CHECKER];
    if (canvas != nullptr && i >= 0 && i < CHECK_COUNT) {
        const bool pq = reference != nullptr && reference->test_type == 2;
        const code_row_t &code = pq ? colorCheck_stand_hdr_int[i] : colorCheck_stand_sdr_int[i];
        const uint8_t colour[3] = {static_cast<uint8_t>(code[0]), static_cast<uint8_t>(code[1]),
                                   static_cast<uint8_t>(code[2])};
        draw_value_pillar(canvas, get_hdr_checker_dE_pillar_coord, i, cur->dEICTCP_240, colour, 3);
    }
    sum_checker_dEITP += cur->dEICTCP_240;
}

// sum / count, NaN when nothing was counted.
float average(float sum, int count)
{
    if (count <= 0)
        return std::numeric_limits<float>::quiet_NaN();
    return sum / static_cast<float>(count);
}

}  // namespace

void draw_hdr_data(int kind, int index, const color_t *prev, const color_t *cur)
{
    page = get_hdr_page();
    if (cur == nullptr)
        return;
    if (kind == 0)
        draw_gray(index, prev, cur);
    else if (kind == 2)
        draw_checker(index, cur);
}

void draw_hdr_data_avg()
{
    const int n = hdr_gray_pillar_count;
    draw_hdr_gray_dE2000_avg(average(sum_gray_dE2000, n));
    draw_hdr_gray_dEITP_avg(average(sum_gray_dEITP, n - 1));
    draw_hdr_gray_EOTF_max_diff(max_gray_diff);
    draw_hdr_checker_dE_avg(sum_checker_dEITP / CHECK_COUNT);

    // The next pass starts afresh.
    sum_gray_dE2000 = 0.0f;
    sum_gray_dEITP = 0.0f;
    max_gray_diff = 0.0f;
    sum_checker_dEITP = 0.0f;
}
