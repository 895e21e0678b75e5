// The SDR EOTF and CIE 1931 charts and the SDR data overlay: the measured
// bars, points and triangle and the verdicts drawn from them.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "chart_probe.h"
#include "charts/draw_verdict.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_data.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "draw/draw_basic.h"

namespace {

using SdrCharts = ChartTest;

// A white of 100 cd/m² (PQ 0.51) and a grayscale ramp of `steps` + 1 patches
// from 0 to 100 % with the same results; `super_white` appends a 109 % patch.
void store_ramp(job_t &job, int steps, bool super_white, float dE, float gamma)
{
    job.white.max_E = 0.51f;
    job.store.gray_count = steps + 1 + (super_white ? 1 : 0);
    job.store.super_white = super_white;
    job.white.gray_steps = job.store.gray_count - 1;
    for (int i = 0; i < job.store.gray_count; ++i) {
        color_t &p = job.store.gray[i];
        p.c.ts0 = i <= steps ? static_cast<float>(i) / steps : 1.09f;
        p.dE2000 = dE;
        p.gamma = gamma;
        p.E_prime = 0.5f * p.c.ts0;
    }
}

// The SDR page of the job with its data and verdicts.
std::span<canvas_t *const> render(const job_t &job)
{
    output_of([&] {
        show_page(pages, PAGE_SDR, job);
        render_page_data(pages, PAGE_SDR, job);
    });
    return page_canvases(pages, PAGE_SDR);
}

void place_primaries(job_t &job)
{
    for (auto [i, x, y] : {std::tuple{1, 0.64f, 0.33f}, {2, 0.30f, 0.60f}, {3, 0.15f, 0.06f}}) {
        job.store.gamut[i].c.x = x;
        job.store.gamut[i].c.y = y;
    }
}

}  // namespace

TEST_F(SdrCharts, EotfScaleTicksAndMappingFollowTheWhiteAndSuperWhite)
{
    // Ticks 86 pixels apart, or 860 / 11 with super white.
    for (auto [max_E, super, max_y, rows, tick1, label1, last] :
         {std::tuple{0.51f, 0, "0.600000", 6, 1126, quad{1082, 790, 86, 20}, "100"},
          {0.51f, 1, "0.700000", 7, 1118, quad{1078, 790, 78, 20}, "110"}}) {
        job.white.max_E = max_E;
        job.store.super_white = super;
        std::string out;
        canvas_t *c = build(draw_sdr_gray_EOTF_canvas, &out);
        EXPECT_EQ(out, std::string("max_val_y = ") + max_y + "\r\n");
        EXPECT_EQ(c->y_grid_count, rows);
        const auto ticks = objects(c->x_gap_list, "line", 30), labels = objects(c->x_gap_text_list);
        ASSERT_EQ(ticks.size(), 11u + super);
        EXPECT_EQ(where(ticks[1]), (quad{tick1, 790, tick1, 785}));
        EXPECT_EQ(where(ticks.back()), (quad{1900, 790, 1900, 785}));
        EXPECT_EQ(where(labels.at(1)), label1);
        EXPECT_EQ(text(labels.back()), std::string("<align=center font_size=12> ") + last);
        // The data mapping takes the job's scale.
        const float x_mid = super ? 0.55f : 0.5f, y_mid = std::stof(max_y) / 2;
        EXPECT_EQ(outputs(get_sdr_gray_EOTF_coord, job, x_mid, y_mid), (quad{1470, 560, 0, 0}));
    }
    // Without a white the axis is empty whatever was built before, silently.
    job.white.max_E = 0.0f;
    std::string out;
    EXPECT_EQ(build(draw_sdr_gray_EOTF_canvas, &out)->y_grid_count, 0);
    EXPECT_EQ(out, "");
}

TEST_F(SdrCharts, EotfCurveAndVerdict)
{
    // The chart is built with the target's curve for the job's white: from
    // the bottom-left corner to 5 % signal (100 * 0.05^2.4 cd/m², PQ 0.054),
    // ending at full signal on the white's PQ value 0.508.
    white_level(100.0f);
    canvas_t *c = build(draw_sdr_gray_EOTF_canvas);
    const auto lines = marks(c);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(where(lines[0]), (quad{1040, 790, 1083, 748}));
    EXPECT_EQ(colour(lines[0]), "120,120,120");
    EXPECT_EQ(where(lines[95]), (quad{1857, 410, 1900, 400}));

    // Within 0.1 of the target gamma 2.4, limits included.
    for (auto [gamma, pass] : {std::pair{2.5f, true}, {2.51f, false}, {2.31f, true}, {2.29f, false}, {NAN, false}}) {
        draw_verdict(c, SDR_TOTAL_GAMMA, judge(SDR_TOTAL_GAMMA, gamma, job.target.gamma));
        EXPECT_EQ(verdict_of(c).pass, pass) << gamma;
    }
    EXPECT_EQ(verdict_of(c).text, "Total Gamma :  nan");
}

TEST_F(SdrCharts, Cie1931MappingAndTargetGamut)
{
    std::string out;
    canvas_t *c = build(draw_sdr_cm_gamut_canvas, &out);

    // The three secondaries are printed, yellow first.
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
    EXPECT_EQ(out.rfind("color x = 0.4", 0), 0u) << out;

    // DCI-P3 red (0.68, 0.32) maps to (898, 626), green (0.265, 0.69) to
    // (667, 437); the markers lie above the sides, centred.
    const auto sides = objects(c->chart_list, "line", 30), markers = objects(c->chart_list, nullptr, 31);
    ASSERT_EQ(sides.size(), 3u);
    ASSERT_EQ(markers.size(), 7u);
    EXPECT_EQ(where(sides[0]), (quad{898, 626, 667, 437}));
    EXPECT_EQ(colour(sides[0]), "30,30,30");
    EXPECT_EQ(where(markers[0]), (quad{891, 619, 15, 15}));
    EXPECT_EQ(where(markers[6]), (quad{687, 615, 15, 15}));  // D65 white at (694, 622)
}

TEST_F(SdrCharts, OverlayPlotsBarsPointsAndTriangle)
{
    store_ramp(job, 10, false, 0.5f, 2.35f);
    place_primaries(job);
    job.store.gamut[6].dE2000 = 1.5f;
    for (color_t &p : job.store.check)
        p.dE2000 = 1.2345f;
    // With only white, red and green the triangle has one side (five strokes).
    job.store.gamut_measured = {true, true, true, false, false, false, false};
    auto page = render(job);
    ASSERT_TRUE(std::all_of(page.begin(), page.end(), [](canvas_t *c) { return c != nullptr; }));
    EXPECT_EQ(objects(page[2]->data_list, "line", 40).size(), 5u);
    job.store.gamut_measured.fill(true);
    job.summary = summarize_job(job);
    render(job);

    // Grayscale bars in their grey level, values above them.
    const auto bars = objects(page[0]->data_list, "rectangle", 42);
    ASSERT_EQ(bars.size(), 11u);
    EXPECT_EQ(where(bars[5]), (quad{1445, 261, 51, 9}));
    EXPECT_EQ(colour(bars[5]), "128,128,128");
    Evas_Object *value = objects(page[0]->data_text_list, nullptr, 42).at(5);
    EXPECT_EQ(text(value), "<align=center font_size=14> 0.50");
    EXPECT_EQ(where(value), (quad{1443, 244, 51, 20}));

    // EOTF: a segment between neighbours, a square marker on every patch.
    EXPECT_EQ(where(objects(page[1]->data_line_list, "line", 41).at(9)), (quad{1814, 445, 1900, 407}));
    EXPECT_EQ(objects(page[1]->data_list, "rectangle", 42).size(), 22u);

    // The measured triangle: green to red, then shifted up, then blue's two.
    const auto sides = objects(page[2]->data_list, "line", 40);
    ASSERT_EQ(sides.size(), 15u);
    EXPECT_EQ(where(sides[0]), (quad{687, 483, 876, 621}));
    EXPECT_EQ(where(sides[1]), (quad{687, 482, 876, 620}));
    EXPECT_EQ(colour(objects(page[3]->data_list, "rectangle", 42).at(3)), "0,0,255");

    EXPECT_EQ(text(objects(page[4]->data_text_list).at(0)), "<align=center font_size=14> 1.235");
    EXPECT_EQ(colour(objects(page[4]->data_list, "rectangle", 42).at(0)), "116,81,67");
    for (auto [slot, verdict] : {std::pair{0, "Grayscale Avg dE:  0.5000"}, {1, "Total Gamma :  2.3500"},
                                 {3, "dE 2000 Max:  1.5000"}, {4, "Color Checker Avg dE:  1.2345"}}) {
        EXPECT_EQ(verdict_of(page[slot]).text, verdict);
        EXPECT_TRUE(verdict_of(page[slot]).pass) << verdict;
    }
}

TEST_F(SdrCharts, TotalGammaAveragesThePatchesInsideTheRamp)
{
    // Interior patches estimate 2.4; black and the patches at 100 % and above
    // estimate something else (0 for a power law, 2.4 for BT.1886).
    for (auto [what, steps, super_white, white_gamma, value] :
         {std::tuple{"power ramp", 10, false, 0.0f, 2.4f}, {"BT.1886 at full signal", 10, false, 2.4f, 2.4f},
          {"super white", 10, true, 1.0f, 2.4f}, {"no patch inside", 1, false, 0.0f, NAN}}) {
        store_ramp(job, steps, super_white, 0.0f, 2.4f);
        job.store.gray[0].gamma = 5.0f;
        for (int i = steps; i < job.store.gray_count; ++i)
            job.store.gray[i].gamma = white_gamma;
        const verdict_t v = summarize_job(job).verdicts[SDR_TOTAL_GAMMA];
        if (std::isnan(value))
            EXPECT_TRUE(std::isnan(v.value)) << what;
        else
            EXPECT_FLOAT_EQ(v.value, value) << what;
        EXPECT_EQ(v.pass, !std::isnan(value)) << what;
    }
}

TEST_F(SdrCharts, UnmeasuredSlotsDrawNothingAndFailTheirChart)
{
    store_ramp(job, 10, false, 0.5f, 2.4f);
    place_primaries(job);
    job.store.gamut_measured[1] = false;  // red
    job.store.check_measured.fill(false);
    job.summary = summarize_job(job);
    auto page = render(job);

    // Six gamut bars with their outlines and values, six points; of the
    // triangle only the blue-green side.
    EXPECT_EQ(objects(page[3]->data_list, "rectangle", 42).size(), 6u);
    EXPECT_EQ(objects(page[3]->data_list, "rectangle", 31).size(), 6u);
    EXPECT_EQ(objects(page[3]->data_text_list).size(), 6u);
    EXPECT_EQ(objects(page[2]->data_list, "rectangle", 42).size(), 12u);
    const auto sides = objects(page[2]->data_list, "line", 40);
    ASSERT_EQ(sides.size(), 5u);
    EXPECT_EQ(where(sides[0]), (quad{603, 759, 687, 483}));
    EXPECT_EQ(verdict_of(page[3]).text, "dE 2000 Max:  0.0000");
    EXPECT_FALSE(verdict_of(page[3]).pass);

    // No checker patch: no bar, no number, a fail.
    EXPECT_TRUE(objects(page[4]->data_list, "rectangle").empty());
    EXPECT_EQ(page[4]->data_text_list, nullptr);
    EXPECT_EQ(verdict_of(page[4]).text, "Color Checker Avg dE:  --");
    EXPECT_FALSE(verdict_of(page[4]).pass);
    EXPECT_TRUE(verdict_of(page[0]).pass);

    // A NaN among the measured gamut patches makes the largest NaN: a fail.
    job.store.gamut[4].dE2000 = NAN;
    const verdict_t gamut = summarize_job(job).verdicts[SDR_GAMUT_DE2000_MAX];
    EXPECT_TRUE(std::isnan(gamut.value));
    EXPECT_FALSE(gamut.pass);
}
