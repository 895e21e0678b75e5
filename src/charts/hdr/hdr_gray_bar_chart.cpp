// The two grayscale bar charts of the HDR report (ΔE2000 and ΔE ICtCp): one
// slot per grayscale patch below the PQ clip level, labelled with its test
// signal in percent. The twins differ only in their vertical place, title,
// pass limit and the value judged.
#include <cstdio>

#include "charts/bar_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/pixel.h"
#include "measure/measure.h"

namespace {

// hdr_gray_pillar_count, within what the grayscale store holds.
int slot_count()
{
    if (hdr_gray_pillar_count < 0)
        return 0;
    return hdr_gray_pillar_count > GRAY_MAX ? GRAY_MAX : hdr_gray_pillar_count;
}

// The test signal of grayscale patch i in percent, rounded in single precision.
void signal_percent(int i, char *text, size_t size)
{
    snprintf(text, size, "%d", px_round(data_gray[i].c.ts0 * 100.0f));
}

constexpr bar_chart_def_t gray_def(const char *function, int32_t y, const char *text, float pass_limit)
{
    return {{function, 520, y, 680.0f, 266.0f, 1, 6, nullptr, 680, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            "Grayscale Avg dE: ",
            pass_limit,
            slot_count,
            signal_percent};
}

constinit bar_chart de00{gray_def("draw_hdr_gray_dE2000_canvas", 80, " dE 2000 --- Grayscale", 1.5f)};
constinit bar_chart itp{gray_def("draw_hdr_gray_dEITP_canvas", 426, " dE ICTCP_240 --- Grayscale", 2.0f)};

}  // namespace

canvas_t *draw_hdr_gray_dE2000_canvas() { return de00.build(); }
void get_hdr_gray_dE2000_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { de00.pillar(i, v, x, y, w, h); }
void draw_hdr_gray_dE2000_avg(float average) { de00.verdict(average); }

canvas_t *draw_hdr_gray_dEITP_canvas() { return itp.build(); }
void get_hdr_gray_dEITP_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { itp.pillar(i, v, x, y, w, h); }
void draw_hdr_gray_dEITP_avg(float average) { itp.verdict(average); }
