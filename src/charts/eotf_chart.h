// What the two grayscale EOTF charts share: signal ticks along the bottom of
// the plot and the expected curve drawn as 20 thick grey strokes.
#pragma once
#include "draw/pixel.h"
#include "draw/draw_basic.h"

inline constexpr uint8_t CURVE_GREY[3] = {120, 120, 120};

// Ticks pointing up into the plot at `steps` + 1 equal places, labelled with
// the signal in percent (0, 10, ...) centred under them.
void draw_signal_ticks(canvas_t *canvas, int steps);

// The expected curve from the bottom-left corner of the plot through
// point(1) to point(20).
template <typename Point>
void draw_reference_curve(canvas_t *canvas, Point point)
{
    int qx = canvas->x;
    int qy = plot_bottom(plot_of(*canvas));
    for (int i = 1; i <= 20; ++i) {
        const pixel_t p = point(i);
        draw_stroke(canvas, qx, qy, p.x, p.y, STROKE_CURVE, CURVE_GREY, LAYER_MARK);
        qx = p.x;
        qy = p.y;
    }
}
