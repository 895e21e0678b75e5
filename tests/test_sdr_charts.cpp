// The SDR charts and their data overlay on a headless canvas: axes and
// ticks, bar and point geometry, the target gamut, the measured marks and
// the verdicts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_data.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "color/color.h"
#include "draw/draw_sdr_page.h"
#include "measure/measure.h"
#include "chart_probe.h"

namespace {

class SdrCharts : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_reference();
        del_test_data();
    }
    void TearDown() override
    {
        output_of(del_sdr_page);
        flag_super_white = 0;
    }
    // A chart built by hand, with its console output.
    canvas_t *build(canvas_t *(*constructor)(), std::string *out = nullptr)
    {
        canvas_t *c = nullptr;
        const std::string text = output_of([&] { c = keeper.keep(constructor()); });
        if (out != nullptr)
            *out = text;
        return c;
    }
    canvas_keeper keeper;
};

// The SDR page built on the current store, as the run builds it.
canvas_t **build_page()
{
    output_of(init_sdr_page);
    clear_sdr_data_sums();
    return get_sdr_page();
}

// Grayscale ramp with `steps` + 1 patches from 0 to 100 %, all with the same
// results; `super_white` appends a 109 % patch.
void store_ramp(int steps, bool super_white, float dE, float gamma, float E_prime)
{
    test_data_gray_count = steps + 1 + (super_white ? 1 : 0);
    flag_super_white = super_white ? 1 : 0;
    reference->gray_steps = test_data_gray_count - 1;
    for (int i = 0; i < test_data_gray_count; ++i) {
        color_t &p = data_gray[i];
        p.c.ts0 = p.c.ts1 = p.c.ts2 = i <= steps ? static_cast<float>(i) / steps : 1.09f;
        p.dE2000 = dE;
        p.gamma = gamma;
        p.E_prime = E_prime * p.c.ts0;
    }
}

void plot(int kind, const color_t *records, int count)
{
    for (int i = 0; i < count; ++i)
        draw_sdr_data(kind, i, i == 0 ? nullptr : &records[i - 1], &records[i]);
}

using pillar_fn = void (*)(int, float, int *, int *, int *, int *);
quad pillar(pillar_fn coord, int i, float v)
{
    quad q{};
    coord(i, v, &q.a, &q.b, &q.c, &q.d);
    return q;
}

// A mapped point as (x, y, 0, 0).
template <typename F>
quad point(F map, float x, float y)
{
    quad q{};
    map(x, y, &q.a, &q.b);
    return q;
}

}  // namespace

TEST_F(SdrCharts, EotfScaleFollowsTheWhiteAndSuperWhite)
{
    for (auto [max_E, super, max_y, rows, line] : {std::tuple{0.51f, 0, 0.6f, 6, "max_val_y = 0.600000\r\n"},
                                                   {0.51f, 1, 0.7f, 7, "max_val_y = 0.700000\r\n"},
                                                   {0.96f, 0, 1.0f, 10, "max_val_y = 1.000000\r\n"}}) {
        reference->max_E = max_E;
        flag_super_white = super;
        std::string out;
        canvas_t *c = build(draw_sdr_gray_EOTF_canvas, &out);
        EXPECT_EQ(out, line);
        EXPECT_FLOAT_EQ(c->left_label->max, max_y);
        EXPECT_EQ(c->y_grid_count, rows);
    }
}

TEST_F(SdrCharts, EotfTicksAndMapping)
{
    reference->max_E = 0.51f;
    flag_super_white = 1;
    canvas_t *c = build(draw_sdr_gray_EOTF_canvas);
    const auto ticks = objects(c->x_gap_list);
    const auto labels = objects(c->x_gap_text_list);
    ASSERT_EQ(ticks.size(), 12u);
    EXPECT_EQ(ends(ticks[1]), (quad{1118, 790, 1118, 785}));  // 860 / 11 pixels apart
    EXPECT_EQ(ends(ticks[11]), (quad{1900, 790, 1900, 785}));
    EXPECT_EQ(label_text(labels.at(11)), "<align=center font_size=12> 110");
    EXPECT_EQ(geometry(labels[1]), (quad{1078, 790, 78, 20}));

    // y spans 0 to 0.7; out-of-range and not-a-number values land on the edges.
    EXPECT_EQ(point(get_sdr_gray_EOTF_coord, 0.55f, 0.35f), (quad{1470, 560, 0, 0}));
    EXPECT_EQ(point(get_sdr_gray_EOTF_coord, 1.2f, 0.9f), (quad{1900, 330, 0, 0}));
    EXPECT_EQ(point(get_sdr_gray_EOTF_coord, NAN, NAN), (quad{1040, 790, 0, 0}));
}

TEST_F(SdrCharts, EotfReferenceCurveEndsAtTheWhite)
{
    reference->max_E = 0.51f;
    canvas_t *c = build(draw_sdr_gray_EOTF_canvas);
    const size_t before = objects(c->chart_list, "line").size();
    draw_sdr_ref_EOTF(100.0f);
    const auto lines = objects(c->chart_list, "line");
    ASSERT_EQ(lines.size(), before + 100);
    // From the bottom-left corner to 5 % signal: 100 * 0.05^2.4 cd/m2, PQ 0.054.
    EXPECT_EQ(ends(lines[before]), (quad{1040, 790, 1083, 748}));
    EXPECT_EQ(colour(lines[before]), "120,120,120");
    EXPECT_EQ(evas_object_layer_get(lines[before]), 30);
    // The last stroke ends at full signal on the PQ value of the white.
    const float p = get_ST2084_inver_EOTF(100.0f);
    const quad last = ends(lines[lines.size() - 5]);
    EXPECT_EQ(last.c, 1900);
    EXPECT_EQ(last.d, static_cast<int>(330 + (0.6f - p) / 0.6f * 460.0 + 0.5));
}

TEST_F(SdrCharts, GrayDeBarsLabelsAndGuide)
{
    // Without grayscale patches the default 11 places are all labelled 0.
    for (Evas_Object *l : objects(build(draw_sdr_gray_dE_canvas)->x_gap_text_list))
        EXPECT_EQ(label_text(l), "<align=center font_size=12> 0");

    store_ramp(10, false, 0.0f, 0.0f, 0.0f);
    canvas_t *c = build(draw_sdr_gray_dE_canvas);
    Evas_Object *guide = objects(c->chart_list, "line", 30).at(0);
    EXPECT_EQ(ends(guide), (quad{1080, 218, 1860, 218}));
    EXPECT_EQ(colour(guide), "0,200,0");

    const auto labels = objects(c->x_gap_text_list);
    const auto ticks = objects(c->x_gap_list);
    ASSERT_EQ(labels.size(), 11u);
    ASSERT_EQ(ticks.size(), 12u);
    EXPECT_EQ(label_text(labels[10]), "<align=center font_size=12> 100");
    EXPECT_EQ(geometry(labels[0]), (quad{1051, 270, 75, 15}));
    EXPECT_EQ(ends(ticks[0]), (quad{1053, 270, 1053, 275}));
    EXPECT_EQ(ends(ticks[11]), (quad{1887, 270, 1887, 275}));

    EXPECT_EQ(pillar(get_sdr_gray_dE_pillar_coord, 0, 15.0f), (quad{1065, 95, 51, 175}));  // capped at 10
    EXPECT_EQ(pillar(get_sdr_gray_dE_pillar_coord, 10, 0.0f), (quad{1824, 270, 51, 0}));
    EXPECT_EQ(pillar(get_sdr_gray_dE_pillar_coord, 10, NAN), (quad{1824, 270, 51, 0}));
}

TEST_F(SdrCharts, GamutDeGuidesNamesAndBars)
{
    canvas_t *c = build(draw_sdr_cm_dE_canvas);
    const auto guides = objects(c->chart_list, "line", 30);
    ASSERT_GE(guides.size(), 3u);
    EXPECT_EQ(ends(guides[0]), (quad{560, 218, 980, 218}));
    EXPECT_EQ(ends(guides[1]).b, 183);
    EXPECT_EQ(colour(guides[1]), "200,200,0");
    EXPECT_EQ(ends(guides[2]).b, 95);
    EXPECT_EQ(colour(guides[2]), "200,0,0");

    const auto ticks = objects(c->x_gap_list);
    const auto names = objects(c->x_gap_text_list);
    ASSERT_EQ(ticks.size(), 8u);
    const int tick_x[8] = {531, 600, 668, 736, 804, 872, 940, 1009};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ends(ticks[i]).a, tick_x[i]) << i;
    EXPECT_EQ(geometry(names.at(6)), (quad{938, 270, 68, 15}));
    EXPECT_EQ(label_text(names[4]), "<align=center font_size=12> Cyan");

    EXPECT_EQ(pillar(get_sdr_cm_dE_pillar_coord, 0, 3.0f), (quad{543, 218, 45, 52}));
    EXPECT_EQ(pillar(get_sdr_cm_dE_pillar_coord, 6, 12.0f), (quad{952, 95, 45, 175}));
}

TEST_F(SdrCharts, Cie1931MappingAndTargetGamut)
{
    std::string out;
    canvas_t *c = build(draw_sdr_cm_gamut_canvas, &out);
    // The plot spans 0 to 0.9 on both axes; values outside, or not a number, land on its edges.
    for (auto [x, y, px, py] : {std::tuple{0.0f, 0.0f, 520, 790}, {0.9f, 0.9f, 1020, 330}, {1.0f, 1.0f, 1020, 330},
                                {-0.1f, -0.1f, 520, 790}, {0.312712f, 0.329008f, 694, 622},
                                {0.64f, 0.33f, 876, 621}, {0.30f, 0.60f, 687, 483}, {0.15f, 0.06f, 603, 759},
                                {0.708f, 0.292f, 913, 641}, {NAN, NAN, 520, 790}})
        EXPECT_EQ(point(get_sdr_cm_gamut_1931_coord, x, y), (quad{px, py, 0, 0})) << x << ", " << y;

    // The three secondaries, yellow first.
    char yellow[96];
    snprintf(yellow, sizeof yellow, "color x = %f, y = %f, Y = %f\n", static_cast<double>(reference->yellow.x),
             static_cast<double>(reference->yellow.y), static_cast<double>(reference->yellow.Y));
    EXPECT_EQ(out.rfind(yellow, 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
    EXPECT_FLOAT_EQ(reference->standard.green.Y, reference->RGB_to_XYZ.data[1][1]);

    // DCI-P3 red (0.68, 0.32) maps to (898, 626), green (0.265, 0.69) to (667, 437).
    const auto sides = objects(c->chart_list, "line", 30);
    ASSERT_EQ(sides.size(), 3u);
    EXPECT_EQ(ends(sides[0]), (quad{898, 626, 667, 437}));
    EXPECT_EQ(colour(sides[0]), "30,30,30");
    const auto markers = objects(c->chart_list, nullptr, 31);
    ASSERT_EQ(markers.size(), 7u);
    EXPECT_EQ(geometry(markers[0]), (quad{891, 619, 15, 15}));  // red, centred
    EXPECT_EQ(geometry(markers[6]), (quad{687, 615, 15, 15}));  // D65 white at (694, 622)
}

TEST_F(SdrCharts, VerdictLimits)
{
    canvas_t *gray = build(draw_sdr_gray_dE_canvas);
    canvas_t *eotf = build(draw_sdr_gray_EOTF_canvas);
    canvas_t *gamut = build(draw_sdr_cm_dE_canvas);
    // Limits are inclusive; the gamma window is 2.4 +- 0.1 around the target.
    for (auto [judge, chart, value, pass] :
         {std::tuple{&draw_sdr_gray_dE_avg, gray, 1.5f, true}, {draw_sdr_gray_dE_avg, gray, 1.5001f, false},
          {draw_sdr_gray_dE_avg, gray, NAN, false}, {draw_sdr_gray_EOTF_avg, eotf, 2.5f, true},
          {draw_sdr_gray_EOTF_avg, eotf, 2.51f, false}, {draw_sdr_gray_EOTF_avg, eotf, 2.31f, true},
          {draw_sdr_gray_EOTF_avg, eotf, 2.29f, false}, {draw_sdr_gray_EOTF_avg, eotf, NAN, false},
          {draw_sdr_cm_dE_avg, gamut, 2.5f, true}, {draw_sdr_cm_dE_avg, gamut, 2.51f, false}}) {
        judge(value);
        EXPECT_EQ(verdict_of(chart).pass, pass) << value;
    }
    EXPECT_EQ(verdict_of(eotf).text, "<font_size=16 align=right>Total Gamma :  nan");
}

TEST_F(SdrCharts, OverlayPlotsBarsPointsAndTriangle)
{
    store_ramp(10, false, 0.5f, 2.35f, 0.5f);
    reference->max_E = 0.51f;
    for (int i = 0; i < GAMUT_COUNT; ++i)
        data_gamut[i].dE2000 = 0.25f * i;
    data_gamut[1].c.x = 0.64f, data_gamut[1].c.y = 0.33f;
    data_gamut[2].c.x = 0.30f, data_gamut[2].c.y = 0.60f;
    data_gamut[3].c.x = 0.15f, data_gamut[3].c.y = 0.06f;
    for (color_t &p : data_check)
        p.dE2000 = 1.25f;
    canvas_t **page = build_page();
    ASSERT_TRUE(std::all_of(page, page + SDR_SLOTS, [](canvas_t *c) { return c != nullptr; }));
    plot(0, data_gray, test_data_gray_count);

    // Grayscale bars in their grey level, outlines behind them, values above.
    canvas_t *gray = page[0];
    const auto bars = objects(gray->data_list, "rectangle", 42);
    ASSERT_EQ(bars.size(), 11u);
    EXPECT_EQ(geometry(bars[5]), (quad{1445, 261, 51, 9}));
    EXPECT_EQ(colour(bars[5]), "128,128,128");
    EXPECT_EQ(geometry(objects(gray->chart_list, "rectangle", 31).at(5)), (quad{1444, 260, 53, 10}));
    const auto values = objects(gray->data_text_list);
    EXPECT_EQ(label_text(values[5]), "<align=center font_size=14> 0.50");
    EXPECT_EQ(geometry(values.at(5)), (quad{1443, 244, 51, 20}));
    EXPECT_TRUE(in_list(gray->chart_list, values[5]));
    EXPECT_FALSE(in_list(gray->data_list, values[5]));

    // EOTF: a segment between neighbours, a square marker on every patch.
    canvas_t *eotf = page[1];
    const auto segments = objects(eotf->data_line_list);
    ASSERT_EQ(segments.size(), 10u);
    EXPECT_EQ(ends(segments[9]), (quad{1814, 445, 1900, 407}));
    EXPECT_EQ(colour(segments[0]), "255,255,0");
    EXPECT_EQ(objects(eotf->data_list, "rectangle", 42).size(), 22u);

    // The measured triangle closes only with blue.
    canvas_t *xy = page[2];
    const int sides_after[GAMUT_COUNT] = {0, 0, 5, 15, 15, 15, 15};
    for (int i = 0; i < GAMUT_COUNT; ++i) {
        draw_sdr_data(1, i, i == 0 ? nullptr : &data_gamut[i - 1], &data_gamut[i]);
        EXPECT_EQ(objects(xy->data_list, "line", 40).size(), static_cast<size_t>(sides_after[i])) << i;
    }
    // Green to red: from (687, 483) to (876, 621), then shifted up.
    const auto sides = objects(xy->data_list, "line", 40);
    EXPECT_EQ(ends(sides[0]), (quad{687, 483, 876, 621}));
    EXPECT_EQ(ends(sides[1]), (quad{687, 482, 876, 620}));
    EXPECT_EQ(objects(xy->data_list, "rectangle", 42).size(), 14u);
    EXPECT_EQ(colour(objects(page[3]->data_list, "rectangle", 42)[3]), "0,0,255");

    plot(2, data_check, CHECK_COUNT);
    draw_sdr_data_avg();
    EXPECT_EQ(verdict_of(gray).text, "<font_size=16 align=right>Grayscale Avg dE:  0.5000");
    EXPECT_TRUE(verdict_of(gray).pass);
    EXPECT_EQ(verdict_of(eotf).text, "<font_size=16 align=right>Total Gamma :  2.3500");
    EXPECT_EQ(verdict_of(page[3]).text, "<font_size=16 align=right>dE 2000 Max:  1.5000");
    EXPECT_EQ(verdict_of(page[4]).text, "<font_size=16 align=right>Color Checker Avg dE:  1.2500");
}

TEST_F(SdrCharts, TotalGammaAveragesThePatchesInsideTheRamp)
{
    // Without a page nothing is drawn and nothing breaks, even on not-a-number results.
    store_ramp(2, false, NAN, NAN, NAN);
    plot(0, data_gray, test_data_gray_count);
    plot(1, data_gamut, GAMUT_COUNT);
    draw_sdr_data_avg();

    canvas_t **page = build_page();
    // Interior patches estimate 2.4; black and the patches at 100 % and above
    // estimate something else (0 for a power law, 2.4 for BT.1886).
    for (auto [what, steps, super_white, white_gamma, value, pass] :
         {std::tuple{"power ramp", 10, false, 0.0f, "2.4000", true},
          {"BT.1886 gives 2.4 at full signal", 10, false, 2.4f, "2.4000", true},
          {"super white", 10, true, 1.0f, "2.4000", true}, {"no patch inside", 1, false, 0.0f, "nan", false}}) {
        store_ramp(steps, super_white, 0.0f, 2.4f, 0.5f);
        data_gray[0].gamma = 5.0f;
        for (int i = steps; i < test_data_gray_count; ++i)
            data_gray[i].gamma = white_gamma;
        clear_sdr_data_sums();
        plot(0, data_gray, test_data_gray_count);
        draw_sdr_data_avg();
        const verdict v = verdict_of(page[1]);
        EXPECT_NE(v.text.find(value), std::string::npos) << what << ": " << v.text;
        EXPECT_EQ(v.pass, pass) << what;
    }
}
