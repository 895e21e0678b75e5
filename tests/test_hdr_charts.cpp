// The HDR report on a headless canvas: the EOTF chart with its reference
// curves, the two grayscale bar charts, and the data overlay that plots the
// measured patches and decides the verdicts.
#include <cmath>

#include "chart_probe.h"
#include "charts/hdr/draw_hdr_data.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "charts/hdr/draw_hdr_gray_dE2000_chart.h"
#include "charts/hdr/draw_hdr_gray_dEITP_chart.h"
#include "draw/draw_hdr_page.h"
#include "measure/measure.h"

namespace {

// The lines of the reference curve: layer 30, not the signal ticks.
std::vector<Evas_Object *> curve_lines(canvas_t *c)
{
    std::vector<Evas_Object *> out;
    for (Evas_Object *o : objects(c->chart_list, "line", 30))
        if (!in_list(c->x_gap_list, o))
            out.push_back(o);
    return out;
}

quad eotf_point(float signal, float value)
{
    quad q{};
    EXPECT_EQ(get_hdr_gray_EOTF_coord(signal, value, &q.a, &q.b), 0);
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
    // Not-a-number readings land on the lower edges instead of undefined pixels.
    EXPECT_EQ(eotf_point(NAN, NAN), (quad{1220, 692, 0, 0}));
    EXPECT_EQ(eotf_point(0.5f, INFINITY).b, 80);
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
        EXPECT_EQ(evas_object_layer_get(labels[i]), 30);
    }
}

TEST_F(HdrEotfChart, PqCurveRampsToTheWhiteAndClips)
{
    reference->test_type = 2;
    reference->max_E = 0.5f;
    EXPECT_EQ(output_of([] { draw_hdr_ref_EOTF(1000.0f); }), "PQ max E' = 0.500000\r\n");
    auto lines = curve_lines(canvas);
    ASSERT_EQ(lines.size(), 10u);
    const quad ramp[] = {{1220, 692, 1560, 386}, {1221, 692, 1561, 386}, {1220, 693, 1560, 387},
                         {1219, 692, 1559, 386}, {1220, 691, 1560, 385}};
    const quad clip[] = {{1560, 386, 1899, 386}, {1561, 386, 1899, 386}, {1560, 387, 1899, 387},
                         {1559, 386, 1898, 386}, {1560, 385, 1899, 385}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ends(lines[i]), ramp[i]) << i;
        EXPECT_EQ(ends(lines[5 + i]), clip[i]) << i;
    }
    for (Evas_Object *l : lines)
        EXPECT_EQ(colour(l), "120,120,120");

    // A white at full PQ ends the ramp in the top-right corner.
    reference->max_E = 1.0f;
    output_of([] { draw_hdr_ref_EOTF(1000.0f); });
    lines = curve_lines(canvas);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(ends(lines[10]), (quad{1220, 692, 1900, 80}));
    EXPECT_EQ(ends(lines[15]), (quad{1900, 80, 1899, 80}));
}

TEST_F(HdrEotfChart, HlgCurveHasTwentyRisingSegments)
{
    reference->test_type = 3;
    output_of([] { draw_hdr_ref_EOTF(1000.0f); });
    const auto lines = curve_lines(canvas);
    ASSERT_EQ(lines.size(), 100u);
    quad prev{1220, 692, 1220, 692};
    for (int i = 0; i < 20; ++i) {
        const quad seg = ends(lines[5 * i]);
        EXPECT_EQ(seg.a, prev.c) << i;  // joined to the previous segment
        EXPECT_EQ(seg.b, prev.d) << i;
        EXPECT_EQ(seg.c, 1220 + 34 * (i + 1)) << i;
        EXPECT_LT(seg.d, prev.d) << i;
        prev = seg;
    }
    // Full signal shows the 1000 cd/m² white: PQ value 0.7518.
    EXPECT_NEAR(prev.d, 80 + (1 - 0.7518) * 612, 1.0);
}

TEST_F(HdrEotfChart, OtherEotfDrawsNoCurve)
{
    reference->test_type = 1;
    EXPECT_EQ(output_of([] { draw_hdr_ref_EOTF(100.0f); }), "Error: draw_hdr_ref_EOTF\r\n");
    EXPECT_TRUE(curve_lines(canvas).empty());
}

TEST_F(HdrEotfChart, VerdictOnTheLargestDeviation)
{
    draw_hdr_gray_EOTF_max_diff(0.0499f);
    EXPECT_TRUE(verdict_of(canvas).pass);
    // 0.05 in single precision lies just above the double 0.05.
    draw_hdr_gray_EOTF_max_diff(0.05f);
    const verdict v = verdict_of(canvas);
    EXPECT_EQ(v.text, "<font_size=16 align=right>EOTF Diff Max:  0.0500");
    EXPECT_FALSE(v.pass);
}

namespace {

struct gray_twin {
    const char *name;
    canvas_t *(*build)();
    void (*coord)(int, float, int *, int *, int *, int *);
    void (*avg)(float);
    int top;  // plot top; the plot is 266 high
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
    // Slots for the first `slots` grayscale patches, at signals 0, 0.1, ...
    // unless a test set its own.
    canvas_t *build(int slots, std::initializer_list<std::pair<int, float>> own = {})
    {
        hdr_gray_pillar_count = slots;
        for (int i = 0; i < slots; ++i)
            data_gray[i].c.ts0 = 0.1f * i;
        for (const auto &[i, signal] : own)
            data_gray[i].c.ts0 = signal;
        return canvases.keep(GetParam().build());
    }
    quad pillar(int i, float v) const
    {
        quad q{};
        GetParam().coord(i, v, &q.a, &q.b, &q.c, &q.d);
        return q;
    }
    int bottom() const { return GetParam().top + 266; }
    canvas_keeper canvases;
};

}  // namespace

TEST_P(HdrGrayChart, ElevenSlotsLabelledBySignal)
{
    canvas_t *c = build(11, {{3, 0.25f}});
    ASSERT_NE(c, nullptr);
    const auto labels = objects(c->x_gap_text_list);
    const auto ticks = objects(c->x_gap_list);
    ASSERT_EQ(labels.size(), 11u);
    ASSERT_EQ(ticks.size(), 12u);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(geometry(labels[i]), (quad{528 + 60 * i, bottom(), 60, 15})) << i;
        EXPECT_EQ(ends(ticks[i]), (quad{530 + 60 * i, bottom(), 530 + 60 * i, bottom() + 5})) << i;
    }
    EXPECT_EQ(ends(ticks[11]).a, 1190);
    EXPECT_EQ(label_text(labels[3]), "<align=center font_size=12> 25");
    EXPECT_EQ(label_text(labels[10]), "<align=center font_size=12> 100");

    const int threshold = GetParam().top + 200;  // ΔE 3 of 12
    const auto guide = curve_lines(c);
    ASSERT_EQ(guide.size(), 1u);
    EXPECT_EQ(ends(guide[0]), (quad{560, threshold, 1160, threshold}));
    EXPECT_EQ(colour(guide[0]), "0,200,0");

    EXPECT_EQ(pillar(0, 1.5f), (quad{540, GetParam().top + 233, 40, 33}));
    EXPECT_EQ(pillar(10, 3.0f), (quad{1140, threshold, 40, 66}));
    EXPECT_EQ(pillar(10, 25.0f), (quad{1140, GetParam().top + 44, 40, 222}));
    EXPECT_EQ(pillar(10, NAN), (quad{1140, bottom(), 40, 0}));
}

TEST_P(HdrGrayChart, SignalPercentIsRounded)
{
    canvas_t *c = build(3, {{1, 0.004f}, {2, 0.006f}});
    ASSERT_NE(c, nullptr);
    const auto labels = objects(c->x_gap_text_list);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(label_text(labels[1]), "<align=center font_size=12> 0");
    EXPECT_EQ(label_text(labels[2]), "<align=center font_size=12> 1");
}

TEST_P(HdrGrayChart, NoSlotsLeavesThresholdAndOneTick)
{
    canvas_t *c = build(0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->x_gap_text_list, nullptr);
    const auto ticks = objects(c->x_gap_list);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ends(ticks[0]).a, 860);
    EXPECT_EQ(curve_lines(c).size(), 1u);
}

TEST_P(HdrGrayChart, VerdictAtTheLimitPasses)
{
    canvas_t *c = build(2);
    GetParam().avg(GetParam().limit);
    verdict v = verdict_of(c);
    char text[80];
    snprintf(text, sizeof text, "<font_size=16 align=right>Grayscale Avg dE:  %0.4f",
             static_cast<double>(GetParam().limit));
    EXPECT_EQ(v.text, text);
    EXPECT_TRUE(v.pass);
    GetParam().avg(GetParam().limit + 0.0001f);
    EXPECT_FALSE(verdict_of(c).pass);
}

TEST_P(HdrGrayChart, MissingReferenceIsNamed)
{
    reference_t *kept = reference;
    reference = nullptr;
    const std::string out = output_of([&] { build(1); });
    reference = kept;
    EXPECT_EQ(out, std::string("Warning: draw_hdr_gray_") + GetParam().name + "_canvas reference is NULL!\n");
}

INSTANTIATE_TEST_SUITE_P(Metrics, HdrGrayChart, ::testing::ValuesIn(gray_twins),
                         [](const auto &info) { return std::string(info.param.name); });

namespace {

// The whole HDR page with a PQ target whose white has PQ value 0.5, plotted
// by the page as the measurement run does.
class HdrOverlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_reference();
        reference->test_type = 2;
        reference->max_E = 0.5f;
        reference->white_level = 1000.0f;
        del_test_data();
        // Patches 0 to 2 below the clip get pillars; 3 and 4 only EOTF points.
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
};

std::vector<Evas_Object *> fills(canvas_t *c)
{
    return objects(c->data_list, "rectangle", 42);
}

}  // namespace

TEST_F(HdrOverlay, PillarsOnlyBelowTheClipWithOutlinesAndLabels)
{
    render();
    for (int s : {0, 1}) {
        canvas_t *c = slot(s);
        const auto bars = fills(c);
        const auto frames = objects(c->chart_list, "rectangle", 31);
        const auto labels = objects(c->data_text_list);
        ASSERT_EQ(bars.size(), 3u) << s;
        ASSERT_EQ(frames.size(), 3u) << s;
        ASSERT_EQ(labels.size(), 3u) << s;
        for (size_t i = 0; i < 3; ++i) {
            const quad b = geometry(bars[i]);
            EXPECT_EQ(geometry(frames[i]), (quad{b.a - 1, b.b - 1, b.c + 2, b.d + 1}));
            EXPECT_EQ(colour(frames[i]), "60,60,60");
            EXPECT_EQ(geometry(labels[i]), (quad{b.a - 2, b.b - 20, b.c, 20}));
            EXPECT_TRUE(in_list(c->chart_list, labels[i]));
            EXPECT_FALSE(in_list(c->data_list, labels[i]));
            EXPECT_EQ(evas_object_layer_get(labels[i]), 42);
        }
    }
    quad expect{};
    get_hdr_gray_dE2000_pillar_coord(2, 3.0f, &expect.a, &expect.b, &expect.c, &expect.d);
    EXPECT_EQ(geometry(fills(slot(0))[2]), expect);
    EXPECT_EQ(expect.b, 280);
}

TEST_F(HdrOverlay, EotfPointsForEveryPatchJoinedByLines)
{
    render();
    canvas_t *c = slot(2);
    const auto lines = objects(c->data_line_list);
    ASSERT_EQ(lines.size(), 4u);  // none into the first patch
    EXPECT_EQ(ends(lines[0]), (quad{1220, 692, 1390, 539}));
    EXPECT_EQ(ends(lines[3]), (quad{1730, 325, 1900, 386}));  // (0.75, 0.6) to (1.0, 0.5)
    for (Evas_Object *l : lines) {
        EXPECT_EQ(colour(l), "255,255,0");
        EXPECT_EQ(evas_object_layer_get(l), 41);
        EXPECT_TRUE(in_list(c->data_list, l));
    }
    // Each point is a grey 7 x 7 square under a white 5 x 5 one.
    const auto marks = fills(c);
    ASSERT_EQ(marks.size(), 10u);
    EXPECT_EQ(geometry(marks[0]), (quad{1217, 689, 7, 7}));
    EXPECT_EQ(geometry(marks[1]), (quad{1218, 690, 5, 5}));
    EXPECT_EQ(colour(marks[0]), "124,124,124");
}

TEST_F(HdrOverlay, GrayFillFollowsTheSignalAndCheckerFillTheTarget)
{
    data_gray[0].c.ts0 = 1.0f;
    data_gray[1].c.ts0 = 0.5f;
    data_gray[2].c.ts0 = 1.2f;
    render();
    const auto bars = fills(slot(1));
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(colour(bars[0]), "255,255,255");
    EXPECT_EQ(colour(bars[1]), "128,128,128");
    EXPECT_EQ(colour(bars[2]), "255,255,255");

    const auto pq = fills(slot(3));
    ASSERT_EQ(pq.size(), 18u);
    EXPECT_EQ(colour(pq[0]), "88,72,64");
    EXPECT_EQ(colour(pq[17]), "71,94,104");
    EXPECT_EQ(geometry(pq[0]), (quad{54, 994, 68, 44}));

    // Any other target takes the SDR colours.
    clear_page();
    reference->test_type = 3;
    render();
    EXPECT_EQ(colour(fills(slot(3))[0]), "116,81,67");
}

TEST_F(HdrOverlay, ValueLabelDecimals)
{
    data_gray[1].dE2000 = 1.2345f;
    data_check[4].dEICTCP_240 = 1.2345f;
    data_check[5].dEICTCP_240 = 1e30f;  // far beyond any reading: cut to the buffer
    render();
    EXPECT_EQ(label_text(objects(slot(0)->data_text_list)[1]), "<align=center font_size=14> 1.23");
    const auto checker = objects(slot(3)->data_text_list);
    ASSERT_EQ(checker.size(), 18u);
    EXPECT_EQ(label_text(checker[4]), "<align=center font_size=14> 1.235");
    EXPECT_EQ(label_text(checker[5]).size(), 49u);
}

TEST_F(HdrOverlay, VerdictsFromTheSumsAndTheLargestDeviation)
{
    render();
    verdict v = verdict_of(slot(0));
    EXPECT_EQ(v.text, "<font_size=16 align=right>Grayscale Avg dE:  2.0000");  // (1 + 2 + 3) / 3
    EXPECT_FALSE(v.pass);
    v = verdict_of(slot(1));
    EXPECT_EQ(v.text, "<font_size=16 align=right>Grayscale Avg dE:  1.5000");  // patch 0 left out
    EXPECT_TRUE(v.pass);
    v = verdict_of(slot(2));
    EXPECT_EQ(v.text, "<font_size=16 align=right>EOTF Diff Max:  0.1000");  // patch 3, without pillar
    EXPECT_FALSE(v.pass);
    v = verdict_of(slot(3));
    EXPECT_EQ(v.text, "<font_size=16 align=right>Color Checker Avg dE:  2.0000");
    EXPECT_TRUE(v.pass);

    // Plotting again starts from fresh sums.
    render();
    EXPECT_EQ(label_text(slot(0)->result_text), "<font_size=16 align=right>Grayscale Avg dE:  2.0000");
    EXPECT_EQ(fills(slot(0)).size(), 3u);
}

TEST_F(HdrOverlay, AveragesOverNoPatchFail)
{
    hdr_gray_pillar_count = 0;
    render();
    for (int s : {0, 1}) {
        const verdict v = verdict_of(slot(s));
        EXPECT_EQ(v.text, "<font_size=16 align=right>Grayscale Avg dE:  nan") << s;
        EXPECT_FALSE(v.pass) << s;
        EXPECT_TRUE(fills(slot(s)).empty());
    }
    EXPECT_EQ(objects(slot(2)->data_line_list).size(), 4u);

    // One patch: its ΔE2000 is the average, the ΔE ICtCp average has none.
    clear_page();
    hdr_gray_pillar_count = 1;
    render();
    EXPECT_EQ(verdict_of(slot(0)).text, "<font_size=16 align=right>Grayscale Avg dE:  1.0000");
    EXPECT_TRUE(verdict_of(slot(0)).pass);
    EXPECT_EQ(verdict_of(slot(1)).text, "<font_size=16 align=right>Grayscale Avg dE:  nan");
    EXPECT_FALSE(verdict_of(slot(1)).pass);
}
