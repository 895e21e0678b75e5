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
    int threshold_y, bottom;
    int top_at_1_5, top_at_cap;  // pillar tops for 1.5 and for 10 and above
    float limit;
};
void PrintTo(const checker_twin &t, std::ostream *os)
{
    *os << t.name;
}

const checker_twin twins[] = {
    {"sdr", draw_sdr_checker_dE_canvas, get_sdr_checker_dE_pillar_coord, draw_sdr_checker_dE_avg, 1008, 1060, 1034,
     885, 1.5f},
    {"hdr", draw_hdr_checker_dE_canvas, get_hdr_checker_dE_pillar_coord, draw_hdr_checker_dE_avg, 972, 1038, 1005,
     816, 2.0f},
};

class CheckerChart : public ::testing::TestWithParam<checker_twin> {
protected:
    void SetUp() override
    {
        fresh_reference();
        canvas = canvases.keep(GetParam().build());
        ASSERT_NE(canvas, nullptr);
    }
    quad pillar(int i, float v) const
    {
        quad q{};
        GetParam().coord(i, v, &q.a, &q.b, &q.c, &q.d);
        return q;
    }
    canvas_keeper canvases;
    canvas_t *canvas = nullptr;
};

}  // namespace

TEST_P(CheckerChart, ThresholdNamesAndTicks)
{
    const checker_twin &t = GetParam();
    const auto guides = marks(canvas);
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(ends(guides[0]), (quad{60, t.threshold_y, 1860, t.threshold_y}));
    EXPECT_EQ(colour(guides[0]), "0,200,0");

    const auto names = objects(canvas->x_gap_text_list);
    ASSERT_EQ(names.size(), 18u);
    EXPECT_EQ(label_text(names[0]), "<align=center font_size=12> Dark Skin");
    EXPECT_EQ(label_text(names[7]), "<align=center font_size=12> Purplish Blue");
    EXPECT_EQ(label_text(names[17]), "<align=center font_size=12> Cyan");
    EXPECT_EQ(geometry(names[0]), (quad{35, t.bottom, 102, 15}));
    EXPECT_EQ(geometry(names[17]), (quad{1778, t.bottom, 102, 15}));

    const int boundaries[] = {37,  140, 242,  345,  447,  550,  652,  755,  857,  960,
                              1063, 1165, 1268, 1370, 1473, 1575, 1678, 1780, 1883};
    const auto ticks = objects(canvas->x_gap_list);
    ASSERT_EQ(ticks.size(), std::size(boundaries));
    for (size_t i = 0; i < ticks.size(); ++i)
        EXPECT_EQ(ends(ticks[i]), (quad{boundaries[i], t.bottom, boundaries[i], t.bottom + 5})) << i;
    EXPECT_EQ(canvas->data_list, nullptr);
}

TEST_P(CheckerChart, PillarsStandOnTheBottomAndStopAtTen)
{
    const checker_twin &t = GetParam();
    EXPECT_EQ(pillar(0, 1.5f), (quad{54, t.top_at_1_5, 68, t.bottom - t.top_at_1_5}));
    EXPECT_EQ(pillar(9, 3.0f).b, t.threshold_y);
    EXPECT_EQ(pillar(17, 12.0f), (quad{1797, t.top_at_cap, 68, t.bottom - t.top_at_cap}));
    EXPECT_EQ(pillar(17, INFINITY), pillar(17, 12.0f));
    for (float low : {0.0f, -2.0f, NAN})
        EXPECT_EQ(pillar(0, low), (quad{54, t.bottom, 68, 0})) << low;
}

TEST_P(CheckerChart, VerdictAtTheLimitPassesAndNanFails)
{
    const checker_twin &t = GetParam();
    t.avg(t.limit);
    EXPECT_TRUE(verdict_of(canvas).pass);
    t.avg(t.limit + 0.0001f);
    EXPECT_FALSE(verdict_of(canvas).pass);
    t.avg(NAN);
    EXPECT_FALSE(verdict_of(canvas).pass);
}

INSTANTIATE_TEST_SUITE_P(Reports, CheckerChart, ::testing::ValuesIn(twins),
                         [](const auto &info) { return std::string(info.param.name); });
