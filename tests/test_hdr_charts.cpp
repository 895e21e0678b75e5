// The HDR report on a headless canvas: the EOTF chart with its reference
// curves, the two grayscale bar charts, and the data overlay that plots the
// measured patches and decides the verdicts.
#include <cmath>

#include "chart_probe.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "draw/draw_hdr_page.h"
#include "measure/measure.h"

namespace {

quad eotf_point(float signal, float value)
{
    quad q{};
    get_hdr_gray_EOTF_coord(signal, value, &q.a, &q.b);
    return q;
}

class HdrEotfChart : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_reference();
        canvas = canvases.keep(draw_hdr_gray_EOTF_canvas());
        ASSERT_NE(canvas, nullptr);
    }
    canvas_keeper canvases;
    canvas_t *canvas = nullptr;
};

}  // namespace

TEST_F(HdrEotfChart, MappingClampsTheValueButNotTheSignal)
{
    EXPECT_EQ(eotf_point(0.0f, 0.0f), (quad{1220, 692, 0, 0}));
    EXPECT_EQ(eotf_point(1.0f, 1.0f), (quad{1900, 80, 0, 0}));
    EXPECT_EQ(eotf_point(0.5f, 0.5f), (quad{1560, 386, 0, 0}));
    EXPECT_EQ(eotf_point(1.2f, 1.2f), (quad{2036, 80, 0, 0}));
    EXPECT_EQ(eotf_point(0.5f, -0.1f), (quad{1560, 692, 0, 0}));
    EXPECT_EQ(eotf_point(NAN, NAN), (quad{1220, 692, 0, 0}));  // not a number: the lower edges
}

TEST_F(HdrEotfChart, SignalTicksAndLabels)
{
    const auto ticks = objects(canvas->x_gap_list);
    const auto labels = objects(canvas->x_gap_text_list);
    ASSERT_EQ(ticks.size(), 11u);
    ASSERT_EQ(labels.size(), 11u);
    for (int i = 0; i <= 10; ++i) {
        const int x = 1220 + 68 * i;
        EXPECT_EQ(ends(ticks[i]), (quad{x, 692, x, 687})) << i;
        EXPECT_EQ(geometry(labels[i]), (quad{x - 35, 692, 68, 20})) << i;
        EXPECT_EQ(label_text(labels[i]), "<align=center font_size=12> " + std::to_string(10 * i));
    }
}

TEST_F(HdrEotfChart, PqCurveRampsToTheWhiteAndClips)
{
    reference->test_type = 2;
    reference->max_E = 0.5f;
    EXPECT_EQ(output_of([] { draw_hdr_ref_EOTF(1000.0f); }), "PQ max E' = 0.500000\r\n");
    auto lines = marks(canvas);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(ends(lines[0]), (quad{1220, 692, 1560, 386}));
    EXPECT_EQ(ends(lines[1]), (quad{1221, 692, 1561, 386}));  // thick stroke: moved copies
    EXPECT_EQ(ends(lines[5]), (quad{1560, 386, 1899, 386}));
    EXPECT_EQ(ends(lines[8]), (quad{1559, 386, 1898, 386}));
    EXPECT_EQ(colour(lines[9]), "120,120,120");

    // A white at full PQ ends the ramp in the top-right corner.
    reference->max_E = 1.0f;
    output_of([] { draw_hdr_ref_EOTF(1000.0f); });
    lines = marks(canvas);
    EXPECT_EQ(ends(lines[10]), (quad{1220, 692, 1900, 80}));
    EXPECT_EQ(ends(lines[15]), (quad{1900, 80, 1899, 80}));
}

TEST_F(HdrEotfChart, HlgCurveHasTwentyRisingSegments)
{
    reference->test_type = 3;
    output_of([] { draw_hdr_ref_EOTF(1000.0f); });
    const auto lines = marks(canvas);
    ASSERT_EQ(lines.size(), 100u);
    quad prev{0, 0, 1220, 692};
    for (int i = 0; i < 20; ++i) {
        const quad seg = ends(lines[5 * i]);
        EXPECT_EQ((quad{seg.a, seg.b, seg.c, 0}), (quad{prev.c, prev.d, 1220 + 34 * (i + 1), 0})) << i;
        EXPECT_LT(seg.d, prev.d) << i;
        prev = seg;
    }
    EXPECT_NEAR(prev.d, 80 + (1 - 0.7518) * 612, 1.0);  // the 1000 cd/m² white in PQ
}

TEST_F(HdrEotfChart, OtherEotfDrawsNoCurve)
{
    reference->test_type = 1;
    EXPECT_EQ(output_of([] { draw_hdr_ref_EOTF(100.0f); }), "Error: draw_hdr_ref_EOTF\r\n");
    EXPECT_TRUE(marks(canvas).empty());
}

TEST_F(HdrEotfChart, VerdictOnTheLargestDeviation)
{
    draw_hdr_gray_EOTF_max_diff(0.0499f);
    EXPECT_TRUE(verdict_of(canvas).pass);
    draw_hdr_gray_EOTF_max_diff(0.05f);  // just above the double 0.05
    EXPECT_EQ(verdict_of(canvas).text, "<font_size=16 align=right>EOTF Diff Max:  0.0500");
    EXPECT_FALSE(verdict_of(canvas).pass);
}

namespace {

struct gray_twin {
    const char *name;
    canvas_t *(*build)();
    void (*coord)(int, float, int *, int *, int *, int *);
    void (*avg)(float);
    int top;  // of the plot; it is 266 high
    float limit;
};
void PrintTo(const gray_twin &t, std::ostream *os)
{
    *os << t.name;
}

const gray_twin gray_twins[] = {
    {"dE2000", draw_hdr_gray_dE2000_canvas, get_hdr_gray_dE2000_pillar_coord, draw_hdr_gray_dE2000_avg, 80, 1.5f},
    {"dEITP", draw_hdr_gray_dEITP_canvas, get_hdr_gray_dEITP_pillar_coord, draw_hdr_gray_dEITP_avg, 426, 2.0f},
};

class HdrGrayChart : public ::testing::TestWithParam<gray_twin> {
protected:
    void SetUp() override { fresh_reference(); }
    void TearDown() override { hdr_gray_pillar_count = 0; }
    canvas_t *build(int slots)
    {
        hdr_gray_pillar_count = slots;
        return canvases.keep(GetParam().build());
    }
    quad pillar(int i, float v) const
    {
        quad q{};
        GetParam().coord(i, v, &q.a, &q.b, &q.c, &q.d);
        return q;
    }
    canvas_keeper canvases;
};

}  // namespace

TEST_P(HdrGrayChart, ElevenSlotsLabelledBySignal)
{
    const int top = GetParam().top, bottom = top + 266, threshold = top + 200;
    data_gray[2].c.ts0 = 0.25f;
    data_gray[3].c.ts0 = 0.004f;
    data_gray[4].c.ts0 = 0.006f;
    canvas_t *c = build(11);
    ASSERT_NE(c, nullptr);
    const auto labels = objects(c->x_gap_text_list);
    const auto ticks = objects(c->x_gap_list);
    ASSERT_EQ(labels.size(), 11u);
    ASSERT_EQ(ticks.size(), 12u);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(geometry(labels[i]), (quad{528 + 60 * i, bottom, 60, 15})) << i;
        EXPECT_EQ(ends(ticks[i]), (quad{530 + 60 * i, bottom, 530 + 60 * i, bottom + 5})) << i;
    }
    EXPECT_EQ(ends(ticks[11]).a, 1190);
    EXPECT_EQ(label_text(labels[2]), "<align=center font_size=12> 25");
    EXPECT_EQ(label_text(labels[3]), "<align=center font_size=12> 0");
    EXPECT_EQ(label_text(labels[4]), "<align=center font_size=12> 1");

    const auto guide = marks(c);
    ASSERT_EQ(guide.size(), 1u);
    EXPECT_EQ(ends(guide[0]), (quad{560, threshold, 1160, threshold}));

    EXPECT_EQ(pillar(0, 1.5f), (quad{540, top + 233, 40, 33}));
    EXPECT_EQ(pillar(10, 3.0f), (quad{1140, threshold, 40, 66}));
    EXPECT_EQ(pillar(10, 25.0f), (quad{1140, top + 44, 40, 222}));
    EXPECT_EQ(pillar(10, NAN), (quad{1140, bottom, 40, 0}));
}

TEST_P(HdrGrayChart, VerdictAtTheLimitPasses)
{
    canvas_t *c = build(2);
    GetParam().avg(GetParam().limit);
    EXPECT_TRUE(verdict_of(c).pass);
    GetParam().avg(GetParam().limit + 0.0001f);
    EXPECT_FALSE(verdict_of(c).pass);
}

INSTANTIATE_TEST_SUITE_P(Metrics, HdrGrayChart, ::testing::ValuesIn(gray_twins),
                         [](const auto &info) { return std::string(info.param.name); });

namespace {

// The whole HDR page for a PQ target whose white has PQ value 0.5, plotted
// by the page as the measurement run does. Patches 0 to 2 lie below the clip
// and get pillars; 3 and 4 only EOTF points.
class HdrOverlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_reference();
        reference->test_type = 2;
        reference->max_E = 0.5f;
        del_test_data();
        const float signal[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
        const float dE2000[] = {1.0f, 2.0f, 3.0f, 9.0f, 9.0f};
        const float dEITP[] = {9.0f, 1.0f, 2.0f, 9.0f, 9.0f};
        for (int i = 0; i < 5; ++i) {
            color_t &p = data_gray[i];
            p.c.ts0 = p.c.ts1 = p.c.ts2 = signal[i];
            p.E_prime = std::min(signal[i], 0.5f);
            p.dE2000 = dE2000[i];
            p.dEICTCP_240 = dEITP[i];
        }
        data_gray[3].E_prime = 0.6f;  // 0.1 above the clip
        test_data_gray_count = 5;
        hdr_gray_pillar_count = 3;
        for (color_t &p : data_check)
            p.dEICTCP_240 = 2.0f;
    }
    void TearDown() override
    {
        clear_page();
        hdr_gray_pillar_count = 0;
        del_test_data();
    }
    static canvas_t *slot(int i) { return get_hdr_page()[i]; }
    static void clear_page()
    {
        output_of([] { del_hdr_page(); });
        flush_deleted();
    }
    static void render()
    {
        output_of([] {
            if (slot(0) == nullptr)
                init_hdr_page();
            render_hdr_chart_data_object();
        });
    }
    static std::vector<Evas_Object *> fills(int s) { return objects(slot(s)->data_list, "rectangle", 42); }
    static std::string value_label(int s, int i) { return label_text(objects(slot(s)->data_text_list)[i]); }
};

}  // namespace

TEST_F(HdrOverlay, PillarsOnlyBelowTheClipWithOutlinesAndLabels)
{
    render();
    for (int s : {0, 1}) {
        const auto bars = fills(s);
        const auto frames = objects(slot(s)->chart_list, "rectangle", 31);
        const auto labels = objects(slot(s)->data_text_list);
        ASSERT_EQ(bars.size(), 3u) << s;
        ASSERT_EQ(frames.size(), 3u) << s;
        ASSERT_EQ(labels.size(), 3u) << s;
        for (size_t i = 0; i < 3; ++i) {
            const quad b = geometry(bars[i]);
            EXPECT_EQ(geometry(frames[i]), (quad{b.a - 1, b.b - 1, b.c + 2, b.d + 1}));
            EXPECT_EQ(geometry(labels[i]), (quad{b.a - 2, b.b - 20, b.c, 20}));
            EXPECT_TRUE(in_list(slot(s)->chart_list, labels[i]));
            EXPECT_EQ(evas_object_layer_get(labels[i]), 42);
        }
    }
    EXPECT_EQ(geometry(fills(0)[2]), (quad{996, 280, 136, 66}));  // ΔE 3 of patch 2; 3 slots of 3 x 68
}

TEST_F(HdrOverlay, EotfPointsForEveryPatchJoinedByLines)
{
    render();
    const auto lines = objects(slot(2)->data_line_list);
    ASSERT_EQ(lines.size(), 4u);  // none into the first patch
    EXPECT_EQ(ends(lines[0]), (quad{1220, 692, 1390, 539}));
    EXPECT_EQ(ends(lines[3]), (quad{1730, 325, 1900, 386}));
    EXPECT_EQ(colour(lines[3]), "255,255,0");
    EXPECT_EQ(evas_object_layer_get(lines[3]), 41);
    EXPECT_TRUE(in_list(slot(2)->data_list, lines[3]));
    const auto points = fills(2);  // a grey 7 x 7 square under a white 5 x 5 one each
    ASSERT_EQ(points.size(), 10u);
    EXPECT_EQ(geometry(points[0]), (quad{1217, 689, 7, 7}));
}

TEST_F(HdrOverlay, FillsFollowTheSignalAndTheTarget)
{
    data_gray[0].c.ts0 = 1.0f;
    data_gray[1].c.ts0 = 0.5f;
    data_gray[2].c.ts0 = 1.2f;
    render();
    EXPECT_EQ(colour(fills(1)[0]), "255,255,255");
    EXPECT_EQ(colour(fills(1)[1]), "128,128,128");
    EXPECT_EQ(colour(fills(1)[2]), "255,255,255");
    ASSERT_EQ(fills(3).size(), 18u);
    EXPECT_EQ(colour(fills(3)[0]), "88,72,64");
    EXPECT_EQ(geometry(fills(3)[0]), (quad{54, 994, 68, 44}));

    clear_page();
    reference->test_type = 3;  // any other target takes the SDR colours
    render();
    EXPECT_EQ(colour(fills(3)[0]), "116,81,67");
}

TEST_F(HdrOverlay, ValueLabelsAndNotANumberReadings)
{
    data_gray[1].dE2000 = 1.2345f;
    data_gray[2].c.ts0 = NAN;
    data_gray[2].E_prime = NAN;
    data_gray[2].dE2000 = NAN;
    data_check[4].dEICTCP_240 = 1.2345f;
    data_check[5].dEICTCP_240 = 1e30f;  // beyond any reading: cut to the 50-byte buffer
    render();
    EXPECT_EQ(value_label(0, 1), "<align=center font_size=14> 1.23");
    EXPECT_EQ(value_label(3, 4), "<align=center font_size=14> 1.235");
    EXPECT_EQ(value_label(3, 5).size(), 49u);

    EXPECT_EQ(value_label(0, 2), "<align=center font_size=14> nan");
    EXPECT_EQ(geometry(fills(0)[2]), (quad{996, 346, 136, 0}));
    EXPECT_EQ(colour(fills(0)[2]), "0,0,0");
    EXPECT_EQ(geometry(fills(2)[4]), (quad{1217, 689, 7, 7}));  // the point of patch 2 at (0, 0)
}

TEST_F(HdrOverlay, VerdictsFromTheSumsAndTheLargestDeviation)
{
    render();
    const verdict expected[] = {{"Grayscale Avg dE:  2.0000", false},  // (1 + 2 + 3) / 3
                                {"Grayscale Avg dE:  1.5000", true},   // patch 0 left out
                                {"EOTF Diff Max:  0.1000", false},     // patch 3, without pillar
                                {"Color Checker Avg dE:  2.0000", true}};
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(verdict_of(slot(s)).text, "<font_size=16 align=right>" + expected[s].text) << s;
        EXPECT_EQ(verdict_of(slot(s)).pass, expected[s].pass) << s;
    }
    render();  // plotting again starts from fresh sums
    EXPECT_EQ(verdict_of(slot(0)).text, "<font_size=16 align=right>Grayscale Avg dE:  2.0000");
}

TEST_F(HdrOverlay, AveragesOverNoPatchFail)
{
    hdr_gray_pillar_count = 0;
    render();
    for (int s : {0, 1}) {
        EXPECT_EQ(slot(s)->x_gap_text_list, nullptr);  // no slots: only the closing tick
        EXPECT_EQ(ends(objects(slot(s)->x_gap_list)[0]).a, 860);
        EXPECT_EQ(verdict_of(slot(s)).text, "<font_size=16 align=right>Grayscale Avg dE:  nan") << s;
        EXPECT_FALSE(verdict_of(slot(s)).pass) << s;
        EXPECT_TRUE(fills(s).empty());
    }
    EXPECT_EQ(objects(slot(2)->data_line_list).size(), 4u);

    clear_page();
    hdr_gray_pillar_count = 1;  // ΔE2000 of the one patch; no ΔE ICtCp patch at all
    render();
    EXPECT_EQ(verdict_of(slot(0)).text, "<font_size=16 align=right>Grayscale Avg dE:  1.0000");
    EXPECT_EQ(verdict_of(slot(1)).text, "<font_size=16 align=right>Grayscale Avg dE:  nan");
    EXPECT_FALSE(verdict_of(slot(1)).pass);
}
