// SDR data overlay: plots the measured patches on the five SDR charts and
// collects the figures behind their verdicts.
#include "charts/sdr/draw_sdr_data.h"

#include <array>

#include "charts/overlay.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "draw/draw_basic.h"
#include "draw/draw_sdr_page.h"
#include "measure/measure.h"

namespace {

float sum_gray_dE = 0.0f;
float sum_gray_gamma = 0.0f;
int count_gray_gamma = 0;
float max_gamut_dE = 0.0f;
float sum_checker_dE = 0.0f;
canvas_t **page = nullptr;
color_block_t temp_gamut_color[3] = {};

enum : int { SLOT_GRAY_DE = 0, SLOT_GRAY_EOTF = 1, SLOT_GAMUT_XY = 2, SLOT_GAMUT_DE = 3, SLOT_CHECKER = 4 };

constexpr int LABEL_DY = 17;
constexpr const char *MEAS_MARKER = "/usr/local/app/image/meas_white_7_7.png";
constexpr uint8_t TRIANGLE_COLOUR[3] = {255, 255, 255};

// White, red, green, blue, cyan, magenta, yellow.
constexpr std::array<rgb_t, GAMUT_COUNT> GAMUT_BAR_COLOURS = {
    {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}}};

constexpr double SIGNAL_EPS = 1e-7;

canvas_t *slot(int i)
{
    return page != nullptr ? page[i] : nullptr;
}

void draw_gray(int i, const color_t *prev, const color_t *cur)
{
    if (canvas_t *canvas = slot(SLOT_GRAY_DE))
        draw_value_pillar(canvas, get_sdr_gray_dE_pillar_coord, i, cur->dE2000, signal_grey(cur->c.ts0), 2,
                          LABEL_DY);

    sum_gray_dE += cur->dE2000;
    // The total gamma averages the patches strictly between black and full
    // signal: the estimators have no meaningful gamma at either end.
    const double s = cur->c.ts0;
    if (s > SIGNAL_EPS && 1.0 - s > SIGNAL_EPS) {
        sum_gray_gamma += cur->gamma;
        ++count_gray_gamma;
    }

    if (canvas_t *canvas = slot(SLOT_GRAY_EOTF))
        draw_eotf_trace(canvas, get_sdr_gray_EOTF_coord, i > 0 ? prev : nullptr, *cur);
}

void draw_gamut(int i, const color_t *cur)
{
    canvas_t *canvas = slot(SLOT_GAMUT_DE);
    if (canvas != nullptr && i >= 0 && i < GAMUT_COUNT)
        draw_value_pillar(canvas, get_sdr_cm_dE_pillar_coord, i, cur->dE2000, GAMUT_BAR_COLOURS[i], 2, LABEL_DY);
    draw_sdr_cm_gamut_data(i, cur);
    if (cur->dE2000 > max_gamut_dE)
        max_gamut_dE = cur->dE2000;
}

void draw_checker(int i, const color_t *cur)
{
    canvas_t *canvas = slot(SLOT_CHECKER);
    if (canvas != nullptr && i >= 0 && i < CHECK_COUNT)
        draw_value_pillar(canvas, get_sdr_checker_dE_pillar_coord, i, cur->dE2000,
                          code_colour(colorCheck_stand_sdr_int[i]), 3, LABEL_DY);
    sum_checker_dE += cur->dE2000;
}

}  // namespace

void draw_sdr_data(int type, int i, const color_t *prev, const color_t *cur)
{
    page = get_sdr_page();
    if (cur == nullptr)
        return;
    switch (type) {
    case 0:
        draw_gray(i, prev, cur);
        break;
    case 1:
        draw_gamut(i, cur);
        break;
    case 2:
        draw_checker(i, cur);
        break;
    default:
        break;
    }
}

void draw_sdr_cm_gamut_data(int i, const color_t *cur)
{
    page = get_sdr_page();
    canvas_t *canvas = slot(SLOT_GAMUT_XY);
    if (canvas == nullptr || cur == nullptr)
        return;
    // Red, green and blue are kept to close the measured triangle.
    if (i >= 1 && i <= 3)
        temp_gamut_color[i - 1] = cur->c;

    int px = 0, py = 0;
    get_sdr_cm_gamut_1931_coord(cur->c.x, cur->c.y, &px, &py);
    draw_point(canvas, px, py, MEAS_MARKER, LAYER_DATA_BAR);

    // Green closes the side to red; blue the sides to red and to green.
    auto side_to = [&](const color_block_t &other) {
        int qx = 0, qy = 0;
        get_sdr_cm_gamut_1931_coord(other.x, other.y, &qx, &qy);
        draw_stroke(canvas, px, py, qx, qy, STROKE_OUTLINE, TRIANGLE_COLOUR, LAYER_DATA);
    };
    if (i == 2) {
        side_to(temp_gamut_color[0]);
    } else if (i == 3) {
        side_to(temp_gamut_color[0]);
        side_to(temp_gamut_color[1]);
    }
}

void draw_sdr_data_avg()
{
    // Only charts of the current page are judged: a chart module keeps its
    // canvas pointer after the page has deleted that canvas.
    page = get_sdr_page();
    if (slot(SLOT_GRAY_DE) != nullptr)
        draw_sdr_gray_dE_avg(average(sum_gray_dE, test_data_gray_count));
    if (slot(SLOT_GRAY_EOTF) != nullptr)
        draw_sdr_gray_EOTF_avg(average(sum_gray_gamma, count_gray_gamma));
    if (slot(SLOT_GAMUT_DE) != nullptr)
        draw_sdr_cm_dE_avg(max_gamut_dE);
    if (slot(SLOT_CHECKER) != nullptr)
        draw_sdr_checker_dE_avg(sum_checker_dE / 18.0f);
}

void clear_sdr_data_sums()
{
    sum_gray_dE = 0.0f;
    sum_gray_gamma = 0.0f;
    count_gray_gamma = 0;
    max_gamut_dE = 0.0f;
    sum_checker_dE = 0.0f;
}
