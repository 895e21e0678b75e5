// What the two data overlays share: value pillars and the measured EOTF trace.
#pragma once
#include <array>
#include <cstdint>

#include "color/color.h"
#include "draw/draw_bg.h"

struct job_t;

using rgb_t = std::array<uint8_t, 3>;
using eotf_point_fn = int (*)(const job_t &job, float signal, float value, int *px, int *py);

// The grey of a test signal on 0 to 255; NaN and negative signals are black.
rgb_t signal_grey(float signal);

// The nominal colour of a colour-checker patch from its code triple.
rgb_t code_colour(const std::array<int32_t, 3> &code);

// The pillar of value v at the place the chart's geometry gives it, with the
// value printed with `decimals` decimals `label_dy` pixels above it.
void draw_value_pillar(canvas_t *canvas, const rect_t &place, float v, const rgb_t &colour, int decimals,
                       int label_dy);

// The colour-checker bars: each measured slot's `value` at the place the
// chart gives it, in the patch's nominal colour for the job's EOTF.
using pillar_fn = rect_t (*)(const job_t &job, int i, float v);
void draw_checker_pillars(canvas_t *canvas, const job_t &job, pillar_fn place, float color_t::*value, int label_dy);

// A measured grayscale patch on an EOTF chart: a yellow line from the
// previous patch, when there is one, and the square marker.
void draw_eotf_trace(canvas_t *canvas, const job_t &job, eotf_point_fn map, const color_t *prev,
                     const color_t &cur);
