// The colour checker bar charts of both reports: 18 named slots across the
// page width. The twins differ only in their vertical place, title, pass
// limit and the value judged.
#include <cstdio>
#include <iterator>

#include "charts/bar_chart.h"
#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"

namespace {

constexpr char names[18][20] = {
    "Dark Skin",  "Light Skin",   "Blue Sky",      "Foliage",      "Blue Flower", "Bluish Green",
    "Orange",     "Purplish Blue", "Moderate Red", "Purple",       "Yellow Green", "Orange Yellow",
    "Blue",       "Green",        "Red",           "Yellow",       "Magenta",     "Cyan",
};

constexpr bar_chart_def_t checker_def(const char *function, int32_t y, float height, const char *text,
                                      float pass_limit)
{
    return {{function, 20, y, 1880.0f, height, 1, 6, nullptr, 1880, "/usr/local/app/image/icon_dE.png", text,
             {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5}},
            "Color Checker Avg dE: ",
            pass_limit,
            [] { return static_cast<int>(std::size(names)); },
            [](int i, char *slot, size_t size) { snprintf(slot, size, "%s", names[i]); }};
}

constinit bar_chart sdr{checker_def("draw_sdr_checker_dE_canvas", 850, 210.0f, " dE 2000 --- Color Checker", 1.5f)};
constinit bar_chart hdr{
    checker_def("draw_hdr_checker_dE_canvas", 772, 266.0f, " dE ICTCP_240 --- Color Checker", 2.0f)};

}  // namespace

canvas_t *draw_sdr_checker_dE_canvas() { return sdr.build(); }
void get_sdr_checker_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { sdr.pillar(i, v, x, y, w, h); }
void draw_sdr_checker_dE_avg(float average) { sdr.verdict(average); }

canvas_t *draw_hdr_checker_dE_canvas() { return hdr.build(); }
void get_hdr_checker_dE_pillar_coord(int i, float v, int *x, int *y, int *w, int *h) { hdr.pillar(i, v, x, y, w, h); }
void draw_hdr_checker_dE_avg(float average) { hdr.verdict(average); }
