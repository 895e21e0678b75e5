// The colour checker charts of both reports: slot names and ticks, the
// threshold line, pillar rectangles and the verdict.
#include <cmath>

#include "chart_probe.h"
#include "charts/hdr/draw_hdr_checker_dE_chart.h"
#include "charts/sdr/draw_sdr_checker_dE_chart.h"

namespace {

struct checker_twin {
    const char *name;
    canvas_t *(*build)();
    void (*coord)(int, float, int *, int *, int *, int *);
    void (*avg)(float);
    int threshold_y;
    int bottom;
    int top_at_cap;  // pillar top for 10 and above
    float limit;
};

void PrintTo(const checker_twin &t, std::ostream *os)
{
    *os << t.name;
}

const checker_twin twins[] = {
    {"draw_sdr_checker_dE_canvas", draw_sdr_checker_dE_canvas, get_sdr_checker_dE_pillar_coord,
     draw_sdr_checker_dE_avg, 1008, 1060, 885, 1.5f},
    {"draw_hdr_checker_dE_canvas", draw_hdr_checker_dE_canvas, get_hdr_checker_dE_pillar_coord,
     draw_hdr_checker_dE_avg, 972, 1038, 816, 2.0f},
};

class CheckerChart : public ::testing::TestWithParam<checker_twin> {
protected:
    void SetUp() override { fresh_reference(); }
    quad pillar(int i, float v) const
    {
        quad q{};
        GetParam().coord(i, v, &q.a, &q.b, &q.c, &q.d);
        return q;
    }
    canvas_keeper canvases;
};

}  // namespace

TEST_P(CheckerChart, ThresholdNamesAndTicks)
{
    const checker_twin &t = GetParam();
    canvas_t *c = canvases.keep(t.build());
    ASSERT_NE(c, nullptr);

    std::vector<Evas_Object *> guides;
    for (Evas_Object *o : objects(c->chart_list, "line", 30))
        if (!in_list(c->x_gap_list, o))
            guides.push_back(o);
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(ends(guides[0]), (quad{60, t.threshold_y, 1860, t.threshold_y}));
    EXPECT_EQ(colour(guides[0]), "0,200,0");

    const auto names = objects(c->x_gap_text_list);
    ASSERT_EQ(names.size(), 18u);
    EXPECT_EQ(label_text(names[0]), "<align=center font_size=12> Dark Skin");
    EXPECT_EQ(label_text(names[7]), "<align=center font_size=12> Purplish Blue");
    EXPECT_EQ(label_text(names[17]), "<align=center font_size=12> Cyan");
    EXPECT_EQ(geometry(names[0]), (quad{35, t.bottom, 102, 15}));
    EXPECT_EQ(geometry(names[17]), (quad{1778, t.bottom, 102, 15}));

    const int boundaries[] = {37,  140, 242,  345,  447,  550,  652,  755,  857,  960,
                              1063, 1165, 1268, 1370, 1473, 1575, 1678, 1780, 1883};
    const auto ticks = objects(c->x_gap_list);
    ASSERT_EQ(ticks.size(), std::size(boundaries));
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ends(ticks[i]), (quad{boundaries[i], t.bottom, boundaries[i], t.bottom + 5})) << i;
        EXPECT_EQ(evas_object_layer_get(ticks[i]), 30);
        EXPECT_TRUE(in_list(c->chart_list, ticks[i]));
    }
    EXPECT_EQ(c->data_list, nullptr);
}

TEST_P(CheckerChart, PillarsStandOnTheBottomAndStopAtTen)
{
    const checker_twin &t = GetParam();
    ASSERT_NE(canvases.keep(t.build()), nullptr);
    const int at3 = pillar(0, 3.0f).b;
    EXPECT_EQ(at3, t.threshold_y);  // ΔE 3 reaches the threshold line
    EXPECT_EQ(pillar(17, 12.0f), (quad{1797, t.top_at_cap, 68, t.bottom - t.top_at_cap}));
    EXPECT_EQ(pillar(17, INFINITY), pillar(17, 10.0f));
    for (float low : {0.0f, -2.0f, -INFINITY, NAN})
        EXPECT_EQ(pillar(0, low), (quad{54, t.bottom, 68, 0})) << low;
}

TEST(CheckerChartPillar, ExamplesOfBothReports)
{
    fresh_reference();
    canvas_keeper canvases;
    canvases.keep(draw_sdr_checker_dE_canvas());
    canvases.keep(draw_hdr_checker_dE_canvas());
    quad q{};
    get_sdr_checker_dE_pillar_coord(0, 1.5f, &q.a, &q.b, &q.c, &q.d);
    EXPECT_EQ(q, (quad{54, 1034, 68, 26}));
    get_hdr_checker_dE_pillar_coord(0, 1.5f, &q.a, &q.b, &q.c, &q.d);
    EXPECT_EQ(q, (quad{54, 1005, 68, 33}));
    get_hdr_checker_dE_pillar_coord(9, 3.0f, &q.a, &q.b, &q.c, &q.d);
    EXPECT_EQ(q.d, 66);
}

TEST_P(CheckerChart, VerdictAtTheLimitPassesAndNanFails)
{
    const checker_twin &t = GetParam();
    canvas_t *c = canvases.keep(t.build());
    ASSERT_NE(c, nullptr);

    t.avg(t.limit);
    verdict v = verdict_of(c);
    char text[80];
    snprintf(text, sizeof text, "<font_size=16 align=right>Color Checker Avg dE:  %0.4f", static_cast<double>(t.limit));
    EXPECT_EQ(v.text, text);
    EXPECT_TRUE(v.pass);

    t.avg(t.limit + 0.0001f);
    EXPECT_FALSE(verdict_of(c).pass);

    t.avg(NAN);
    v = verdict_of(c);
    EXPECT_NE(v.text.find("nan"), std::string::npos);
    EXPECT_FALSE(v.pass);
}

TEST_P(CheckerChart, MissingReferenceIsNamedAndTheChartStillBuilt)
{
    reference_t *kept = reference;
    reference = nullptr;
    canvas_t *c = nullptr;
    const std::string out = output_of([&] { c = canvases.keep(GetParam().build()); });
    reference = kept;
    EXPECT_EQ(out, std::string("Warning: ") + GetParam().name + " reference is NULL!\n");
    EXPECT_NE(c, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Reports, CheckerChart, ::testing::ValuesIn(twins),
                         [](const auto &info) { return std::string(info.param.name).substr(5, 3); });
