// SDR data overlay: plots the measured patches on the five SDR charts of the
// page it is given, and shows the job's verdicts on them.
#include "charts/sdr/draw_sdr_data.h"

#include <array>

#include "charts/overlay.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "draw/draw_basic.h"
#include "measure/measure.h"

namespace {

// The measured red, green and blue of the pass, kept to close the triangle;
// a corner the job did not measure closes no side.
color_block_t temp_gamut_color[3] = {};
bool corner_measured[3] = {};

constexpr int LABEL_DY = 17;
constexpr uint8_t TRIANGLE_COLOUR[3] = {255, 255, 255};

// White, red, green, blue, cyan, magenta, yellow.
constexpr std::array<rgb_t, GAMUT_COUNT> GAMUT_BAR_COLOURS = {
    {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}}};

void draw_gray(canvas_t *const *page, int i, const color_t *prev, const color_t *cur)
{
    if (canvas_t *canvas = page[SDR_SLOT_GRAY_DE])
        draw_value_pillar(canvas, get_sdr_gray_dE_pillar_coord, i, cur->dE2000, signal_grey(cur->c.ts0), 2,
                          LABEL_DY);
    if (canvas_t *canvas = page[SDR_SLOT_GRAY_EOTF])
        draw_eotf_trace(canvas, get_sdr_gray_EOTF_coord, i > 0 ? prev : nullptr, *cur);
}

void draw_gamut(canvas_t *const *page, int i, const color_t *cur)
{
    canvas_t *canvas = page[SDR_SLOT_GAMUT_DE];
    if (canvas != nullptr && i >= 0 && i < GAMUT_COUNT)
        draw_value_pillar(canvas, get_sdr_cm_dE_pillar_coord, i, cur->dE2000, GAMUT_BAR_COLOURS[i], 2, LABEL_DY);
    draw_sdr_cm_gamut_data(page[SDR_SLOT_GAMUT_XY], i, cur);
}

void draw_checker(canvas_t *const *page, int i, const color_t *cur)
{
    canvas_t *canvas = page[SDR_SLOT_CHECKER];
    if (canvas != nullptr && i >= 0 && i < CHECK_COUNT)
        draw_value_pillar(canvas, get_sdr_checker_dE_pillar_coord, i, cur->dE2000,
                          code_colour(colorCheck_stand_sdr_int[i]), 3, LABEL_DY);
}

}  // namespace

void draw_sdr_data(canvas_t *const *page, int type, int i, const color_t *prev, const color_t *cur)
{
    if (type == 1 && i >= 1 && i <= 3)
        corner_measured[i - 1] = false;
    if (page == nullptr || cur == nullptr)
        return;
    switch (type) {
    case 0:
        draw_gray(page, i, prev, cur);
        break;
    case 1:
        draw_gamut(page, i, cur);
        break;
    case 2:
        draw_checker(page, i, cur);
        break;
    default:
        break;
    }
}

void draw_sdr_cm_gamut_data(canvas_t *canvas, int i, const color_t *cur)
{
    if (canvas == nullptr || cur == nullptr)
        return;
    if (i >= 1 && i <= 3) {
        temp_gamut_color[i - 1] = cur->c;
        corner_measured[i - 1] = true;
    }

    int px = 0, py = 0;
    get_sdr_cm_gamut_1931_coord(cur->c.x, cur->c.y, &px, &py);
    draw_square_marker(canvas, px, py);

    // Green closes the side to red; blue the sides to red and to green.
    auto side_to = [&](int corner) {
        if (!corner_measured[corner])
            return;
        const color_block_t &other = temp_gamut_color[corner];
        int qx = 0, qy = 0;
        get_sdr_cm_gamut_1931_coord(other.x, other.y, &qx, &qy);
        draw_stroke(canvas, px, py, qx, qy, STROKE_OUTLINE, TRIANGLE_COLOUR, LAYER_DATA);
    };
    if (i == 2) {
        side_to(0);
    } else if (i == 3) {
        side_to(0);
        side_to(1);
    }
}

void draw_sdr_data_avg(canvas_t *const *page, const job_summary_t &summary)
{
    if (page == nullptr)
        return;
    const auto &v = summary.verdicts;
    draw_sdr_gray_dE_avg(page[SDR_SLOT_GRAY_DE], v[SDR_GRAY_DE2000_AVG]);
    draw_sdr_gray_EOTF_avg(page[SDR_SLOT_GRAY_EOTF], v[SDR_TOTAL_GAMMA]);
    draw_sdr_cm_dE_avg(page[SDR_SLOT_GAMUT_DE], v[SDR_GAMUT_DE2000_MAX]);
    draw_sdr_checker_dE_avg(page[SDR_SLOT_CHECKER], v[SDR_CHECKER_DE2000_AVG]);
}
