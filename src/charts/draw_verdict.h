// A chart's verdict widgets, drawn from the job's verdict summary.
#pragma once
#include "draw/draw_bg.h"
#include "measure/verdict.h"

// "<font_size=16 align=right>" caption value (four decimals, or "--" when
// nothing was measured) and the pass/fail image, both in data_list.
void draw_verdict(canvas_t *canvas, verdict_id id, const verdict_t &v);
