// CIE 1931 xy chart: the target gamut triangle, its secondaries and white
// point on the chromaticity diagram, and the mapping the data overlay uses.
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"

#include "charts/geometry/cie_geometry.h"
#include "color/color.h"
#include "draw/draw_basic.h"
#include "draw/images.h"
#include "measure/measure.h"

namespace {

constexpr const char *MARKER = image_path[IMAGE_MARKER];
constexpr uint8_t SIDE_COLOUR[3] = {30, 30, 30};

struct point_t {
    int x, y;
};

// A round marker on the chromaticity of c; returns its place.
point_t mark(canvas_t *canvas, const color_block_t &c)
{
    point_t p{};
    get_sdr_cm_gamut_1931_coord(c.x, c.y, &p.x, &p.y);
    draw_point(canvas, p.x, p.y, MARKER, LAYER_OUTLINE);
    return p;
}

// The target's primaries with their luminance (the Y row of the RGB-to-XYZ
// matrix) and the secondaries derived from them.
struct target_gamut_t {
    color_block_t primaries[3];  // red, green, blue
    color_block_t yellow, cyan, magenta;
};

target_gamut_t target_gamut(const reference_t &ref)
{
    target_gamut_t t{{ref.standard.red, ref.standard.green, ref.standard.blue}, {}, {}, {}};
    for (int j = 0; j < 3; ++j) {
        t.primaries[j].Y = ref.RGB_to_XYZ.m[1][j];
        get_XYZ_from_xyY(&t.primaries[j]);
    }
    const color_block_t &r = t.primaries[0];
    const color_block_t &g = t.primaries[1];
    const color_block_t &b = t.primaries[2];
    update_secondary(ref, &t.yellow, &r, &g, &b);
    update_secondary(ref, &t.cyan, &g, &b, &r);
    update_secondary(ref, &t.magenta, &b, &r, &g);
    print_xyY(&t.yellow);
    print_xyY(&t.cyan);
    print_xyY(&t.magenta);
    return t;
}

void draw_target(canvas_t *canvas, const reference_t &ref)
{
    const target_gamut_t t = target_gamut(ref);
    point_t p[3];
    for (int j = 0; j < 3; ++j)
        p[j] = mark(canvas, t.primaries[j]);
    for (int j = 0; j < 3; ++j) {
        const point_t &a = p[j];
        const point_t &b = p[(j + 1) % 3];
        draw_line(canvas, a.x, a.y, b.x, b.y, SIDE_COLOUR, LAYER_MARK);
    }
    mark(canvas, t.yellow);
    mark(canvas, t.cyan);
    mark(canvas, t.magenta);
    mark(canvas, ref.white.color);
}

}  // namespace

void get_sdr_cm_gamut_1931_coord(float x, float y, int *px, int *py)
{
    const pixel_t p = cie_point(x, y);
    *px = p.x;
    *py = p.y;
}

canvas_t *draw_sdr_cm_gamut_canvas(const job_t &job)
{
    static constexpr chart_def_t def = {.plot = CIE_PLOT,
                                        .x_grid_count = 9,
                                        .y_grid_count = 9,
                                        .bg_image = image_path[IMAGE_CIE_1931],
                                        .title_width = 500,
                                        .icon = image_path[IMAGE_ICON_GAMUT],
                                        .text = " CIE 1931 xy --- Gamut",
                                        .left = {.max = CIE_MAX, .step = 0.1f, .digits = 2},
                                        .down = {.max = CIE_MAX, .step = 0.1f, .digits = 2}};
    canvas_t *canvas = build_chart_canvas(def);
    if (canvas != nullptr)
        draw_target(canvas, job.target);
    return canvas;
}
