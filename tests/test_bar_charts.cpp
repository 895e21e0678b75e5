// The six ΔE bar charts of both reports: guide lines, slot labels
// and ticks, pillar rectangles and verdict limits.
#include <cmath>

#include "chart_probe.h"
#include "charts/draw_verdict.h"
#include "charts/overlay.h"
#include "draw/draw_basic.h"
#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"

namespace {

struct bar_case {
    const char *name;
    canvas_t *(*build)(const job_t &);
    rect_t (*place)(const job_t &, int, float);
    verdict_id id;
    float limit;
    std::vector<int> guide_y;  // in drawing order; the first is green
    quad first_label;
    std::vector<int> tick_x;  // closing tick included
    std::vector<std::pair<int, std::string>> texts;
    std::vector<std::tuple<int, float, quad>> pillars;
};
void PrintTo(const bar_case &c, std::ostream *os)
{
    *os << c.name;
}

const std::vector<int> checker_ticks = {37,   140,  242,  345,  447,  550,  652,  755,  857,  960,
                                        1063, 1165, 1268, 1370, 1473, 1575, 1678, 1780, 1883};
const std::vector<int> hdr_gray_ticks = {530, 590, 650, 710, 770, 830, 890, 950, 1010, 1070, 1130, 1190};

// Over eleven grayscale patches at 0 %, 10 %, ... 100 %, except 25 % and
// 0.5 %; the SDR chart rounds 0.5 % in double precision to 0, the HDR charts
// in single precision to 1. Pillars of 1/35 (SDR) and 3/133 (HDR) end on a
// pixel boundary: the SDR grayscale and gamut charts take the distance from
// the top in double precision and get one pixel, the others in single none.
constexpr float boundary_sdr = 1 / 35.0f, boundary_hdr = 3 / 133.0f;
const bar_case cases[] = {
    {"SdrGray", draw_sdr_gray_dE_canvas, get_sdr_gray_dE_pillar_coord, SDR_GRAY_DE2000_AVG, 1.5f, {218},
     {1051, 270, 75, 15}, {1053, 1129, 1204, 1280, 1356, 1432, 1508, 1584, 1660, 1736, 1811, 1887},
     {{2, "25"}, {3, "0"}, {10, "100"}},
     {{0, 15.0f, {1065, 95, 51, 175}}, {0, boundary_sdr, {1065, 269, 51, 1}}, {10, NAN, {1824, 270, 51, 0}}}},
    {"SdrGamut", draw_sdr_cm_dE_canvas, get_sdr_cm_dE_pillar_coord, SDR_GAMUT_DE2000_MAX, 2.5f, {218, 183, 95},
     {529, 270, 68, 15}, {531, 600, 668, 736, 804, 872, 940, 1009}, {{0, "White"}, {4, "Cyan"}, {6, "Yellow"}},
     {{0, 3.0f, {543, 218, 45, 52}}, {0, boundary_sdr, {543, 269, 45, 1}}, {6, 12.0f, {952, 95, 45, 175}}}},
    {"SdrChecker", draw_sdr_checker_dE_canvas, get_sdr_checker_dE_pillar_coord, SDR_CHECKER_DE2000_AVG, 1.5f,
     {1008}, {35, 1060, 102, 15}, checker_ticks, {{0, "Dark Skin"}, {7, "Purplish Blue"}, {17, "Cyan"}},
     {{0, 1.5f, {54, 1034, 68, 26}}, {0, boundary_sdr, {54, 1060, 68, 0}}, {0, -2.0f, {54, 1060, 68, 0}},
      {9, 3.0f, {977, 1008, 68, 52}}, {17, INFINITY, {1797, 885, 68, 175}}}},
    {"HdrChecker", draw_hdr_checker_dE_canvas, get_hdr_checker_dE_pillar_coord, HDR_CHECKER_DEICTCP_AVG, 2.0f,
     {972}, {35, 1038, 102, 15}, checker_ticks, {{17, "Cyan"}},
     {{0, 1.5f, {54, 1005, 68, 33}}, {9, 3.0f, {977, 972, 68, 66}}, {17, 12.0f, {1797, 816, 68, 222}}}},
    {"HdrGrayDE2000", draw_hdr_gray_dE2000_canvas, get_hdr_gray_dE2000_pillar_coord, HDR_GRAY_DE2000_AVG,
     1.5f, {280}, {528, 346, 60, 15}, hdr_gray_ticks, {{2, "25"}, {3, "1"}, {10, "100"}},
     {{0, 1.5f, {540, 313, 40, 33}}, {0, boundary_hdr, {540, 346, 40, 0}}, {10, 3.0f, {1140, 280, 40, 66}},
      {10, 25.0f, {1140, 124, 40, 222}}, {10, NAN, {1140, 346, 40, 0}}}},
    {"HdrGrayDEITP", draw_hdr_gray_dEITP_canvas, get_hdr_gray_dEITP_pillar_coord, HDR_GRAY_DEICTCP_AVG, 2.0f,
     {626}, {528, 692, 60, 15}, hdr_gray_ticks, {{3, "1"}},
     {{10, 3.0f, {1140, 626, 40, 66}}, {10, 10.0f, {1140, 470, 40, 222}}}},
};

class BarChart : public ChartTest, public ::testing::WithParamInterface<bar_case> {};

}  // namespace

TEST_P(BarChart, GuidesSlotsPillarsAndVerdict)
{
    const bar_case &t = GetParam();
    for (int i = 0; i <= 10; ++i)
        job.store.gray[i].c.ts0 = i == 2 ? 0.25f : i == 3 ? 0.005f : 0.1f * i;
    job.store.gray_count = job.hdr_gray_pillar_count = 11;
    canvas_t *c = build(t.build);
    ASSERT_NE(c, nullptr);

    const auto guides = marks(c);
    ASSERT_EQ(guides.size(), t.guide_y.size());
    EXPECT_EQ(where(guides[0]), (quad{c->x + 40, t.guide_y[0], c->x + int(c->width) - 40, t.guide_y[0]}));
    EXPECT_EQ(colour(guides[0]), "0,200,0");
    for (size_t g = 0; g < guides.size(); ++g)
        EXPECT_EQ(where(guides[g]).b, t.guide_y[g]) << g;

    const int bottom = t.first_label.b;
    const auto ticks = objects(c->x_gap_list, "line", 30), labels = objects(c->x_gap_text_list, nullptr, 30);
    ASSERT_EQ(ticks.size(), t.tick_x.size());
    ASSERT_EQ(labels.size(), t.tick_x.size() - 1);
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ(where(ticks[i]), (quad{t.tick_x[i], bottom, t.tick_x[i], bottom + 5})) << i;
    EXPECT_EQ(where(labels[0]), t.first_label);
    EXPECT_EQ(where(labels.back()).a, t.tick_x[labels.size() - 1] - 2);
    for (const auto &[i, name] : t.texts)
        EXPECT_EQ(text(labels.at(i)), "<align=center font_size=12> " + name) << i;

    for (const auto &[i, v, rect] : t.pillars)
        EXPECT_EQ(outputs(t.place, job, i, v), rect) << i << ", " << v;
    EXPECT_EQ(c->data_list, nullptr);

    for (auto [v, pass] : {std::pair{t.limit, true}, {t.limit + 0.0001f, false}, {NAN, false}}) {
        draw_verdict(c, t.id, judge(t.id, v, 2.4f));
        EXPECT_EQ(verdict_of(c).pass, pass) << v;
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, BarChart, ::testing::ValuesIn(cases),
                         [](const auto &info) { return std::string(info.param.name); });

namespace {

using ValueLabels = ChartTest;

// The label boxes of a chart's pillars, left to right.
std::vector<quad> label_boxes(canvas_t *c)
{
    std::vector<quad> out;
    for (Evas_Object *o : objects(c->data_text_list))
        out.push_back(where(o));
    return out;
}

}  // namespace

TEST_F(ValueLabels, StayWholeAndApartForOneToThirtyTwoSlotsAsDoTheSlotLabels)
{
    struct gray_chart {
        canvas_t *(*build)(const job_t &);
        rect_t (*place)(const job_t &, int, float);
    };
    for (const gray_chart &g : {gray_chart{draw_sdr_gray_dE_canvas, get_sdr_gray_dE_pillar_coord},
                                gray_chart{draw_hdr_gray_dE2000_canvas, get_hdr_gray_dE2000_pillar_coord}}) {
        for (int n : {1, 11, 21, 32}) {
            SCOPED_TRACE(n);
            job.store.gray_count = job.hdr_gray_pillar_count = n;
            for (int i = 0; i < n; ++i)
                job.store.gray[i].c.ts0 = n > 1 ? static_cast<float>(i) / (n - 1) : 1.0f;
            canvas_t *c = build(g.build);
            // The signals under the slots, "100" the widest, show whole inside
            // their slots and the plot; with room to spare in their usual font.
            const auto slots = objects(c->x_gap_text_list);
            ASSERT_EQ(slots.size(), static_cast<size_t>(n));
            for (Evas_Object *s : slots) {
                EXPECT_LE(label_text_width(s), where(s).c) << text(s);
                EXPECT_LT(where(s).a + where(s).c, c->x + static_cast<int>(c->width)) << text(s);
            }
            if (n <= 11) {
                EXPECT_EQ(text(slots.back()), "<align=center font_size=12> 100");
            }
            for (int i = 0; i < n; ++i)
            {
                const float v = i % 3 == 0 ? 10.0f : i % 3 == 1 ? NAN : 0.25f;
                draw_value_pillar(c, g.place(job, i, v), v, {200, 200, 200}, 2, 17);
            }
            const auto labels = objects(c->data_text_list);
            const auto boxes = label_boxes(c);
            ASSERT_EQ(boxes.size(), static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                EXPECT_LE(label_text_width(labels[i]), boxes[i].c) << i << ": " << text(labels[i]);
                if (i > 0) {
                    EXPECT_LE(boxes[i - 1].a + boxes[i - 1].c, boxes[i].a) << i;
                }
            }
            // A label that fits its bar keeps the bar's box and font.
            if (n == 11) {
                EXPECT_EQ(text(labels[2]), "<align=center font_size=14> 0.25");
                EXPECT_EQ(boxes[2].c, outputs(g.place, job, 2, 0.25f).c);
            }
        }
    }
}

// A job without grayscale has no grayscale slot: no label, no tick, no "0".
TEST_F(ValueLabels, NoGrayscaleNoSlots)
{
    for (auto build : {draw_sdr_gray_dE_canvas, draw_hdr_gray_dE2000_canvas}) {
        canvas_t *c = this->build(build);
        EXPECT_EQ(c->x_gap_text_list, nullptr);
        EXPECT_EQ(c->x_gap_list, nullptr);
    }
}
