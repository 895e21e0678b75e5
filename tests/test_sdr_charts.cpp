// The SDR charts and their data overlay on a headless canvas: axes and
// ticks, bar and point geometry, the target gamut, the measured marks and
// the verdicts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "charts/sdr/draw_sdr_cm_dE_chart.h"
#include "charts/sdr/draw_sdr_cm_gamut_chart.h"
#include "charts/sdr/draw_sdr_data.h"
#include "charts/sdr/draw_sdr_gray_EOTF_chart.h"
#include "charts/sdr/draw_sdr_gray_dE_chart.h"
#include "color/color.h"
#include "config/reference.h"
#include "draw/draw_delete.h"
#include "draw/draw_sdr_page.h"
#include "measure/measure.h"
#include "test_support.h"

namespace {

struct box {
    int x, y, w, h;
    bool operator==(const box &) const = default;
};

box box_of(Evas_Object *o)
{
    box b{};
    evas_object_geometry_get(o, &b.x, &b.y, &b.w, &b.h);
    return b;
}

// The objects of a list, optionally only those of one evas type and layer.
std::vector<Evas_Object *> members(Eina_List *list, const char *type = nullptr, int layer = -1)
{
    std::vector<Evas_Object *> out;
    for (Eina_List *l = list; l != nullptr; l = eina_list_next(l)) {
        auto *o = static_cast<Evas_Object *>(eina_list_data_get(l));
        if ((type == nullptr || strcmp(evas_object_type_get(o), type) == 0) &&
            (layer < 0 || evas_object_layer_get(o) == layer))
            out.push_back(o);
    }
    return out;
}

box line_of(Evas_Object *line)
{
    box b{};
    evas_object_line_xy_get(line, &b.x, &b.y, &b.w, &b.h);  // x0, y0, x1, y1
    return b;
}

std::string rgb_of(Evas_Object *o)
{
    int r, g, b, a;
    evas_object_color_get(o, &r, &g, &b, &a);
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

std::string text_of(Evas_Object *label)
{
    const char *t = elm_object_text_get(label);
    return t != nullptr ? t : "";
}

// The verdict text and whether its image is the pass image.
struct verdict_t {
    std::string text;
    bool pass;
};
verdict_t verdict_of(canvas_t *c)
{
    const char *file = nullptr;
    elm_image_file_get(static_cast<Evas_Object *>(eina_list_last_data_get(c->chart_list)), &file, nullptr);
    const std::string f = file != nullptr ? file : "";
    return {text_of(c->result_text), f.ends_with("/result_true.png")};
}

bool listed(Eina_List *list, Evas_Object *o)
{
    return eina_list_data_find(list, o) != nullptr;
}

class SdrCharts : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("ANALYZER_ROOT", ANALYZER_BUILD_ROOT, 1);
        ensure_headless_efl();
    }
    void SetUp() override
    {
        testing::internal::CaptureStdout();
        init_reference();
        init_ref_matrix();
        testing::internal::GetCapturedStdout();
        del_test_data();
    }
    void TearDown() override
    {
        for (canvas_t *c : made) {
            del_canvas(c);
            free(c);
        }
        testing::internal::CaptureStdout();
        del_sdr_page();
        testing::internal::GetCapturedStdout();
    }
    canvas_t *keep(canvas_t *c)
    {
        made.push_back(c);
        return c;
    }
    std::vector<canvas_t *> made;
};

}  // namespace

TEST_F(SdrCharts, EotfScaleFollowsTheWhiteAndSuperWhite)
{
    struct scale_case {
        float max_E;
        int super;
        float max_y;
        int rows;
    };
    for (const scale_case &s : {scale_case{0.51f, 0, 0.6f, 6}, {0.51f, 1, 0.7f, 7}, {0.96f, 0, 1.0f, 10}}) {
        reference->max_E = s.max_E;
        flag_super_white = s.super;
        testing::internal::CaptureStdout();
        canvas_t *c = keep(draw_sdr_gray_EOTF_canvas());
        const std::string out = testing::internal::GetCapturedStdout();
        ASSERT_NE(c, nullptr);
        char line[64];
        snprintf(line, sizeof line, "max_val_y = %f\r\n", static_cast<double>(s.max_y));
        EXPECT_EQ(out, line);
        EXPECT_FLOAT_EQ(c->left_label->max, s.max_y);
        EXPECT_EQ(c->y_grid_count, s.rows);
    }
    flag_super_white = 0;
}

TEST_F(SdrCharts, EotfTicksAndMapping)
{
    reference->max_E = 0.51f;
    flag_super_white = 1;
    testing::internal::CaptureStdout();
    canvas_t *c = keep(draw_sdr_gray_EOTF_canvas());
    testing::internal::GetCapturedStdout();
    flag_super_white = 0;
    const auto ticks = members(c->x_gap_list);
    const auto labels = members(c->x_gap_text_list);
    ASSERT_EQ(ticks.size(), 12u);
    ASSERT_EQ(labels.size(), 12u);
    EXPECT_EQ(line_of(ticks[1]), (box{1118, 790, 1118, 785}));  // 860 / 11 pixels apart
    EXPECT_EQ(line_of(ticks[11]), (box{1900, 790, 1900, 785}));
    EXPECT_EQ(text_of(labels[11]), "<align=center font_size=12> 110");
    EXPECT_EQ(box_of(labels[1]), (box{1078, 790, 78, 20}));
    EXPECT_EQ(evas_object_layer_get(labels[1]), 30);

    // y spans 0 to 0.7; out-of-range and not-a-number values land on the edges.
    int x, y;
    get_sdr_gray_EOTF_coord(0.55f, 0.35f, &x, &y);
    EXPECT_EQ(x, 1470);
    EXPECT_EQ(y, 560);
    get_sdr_gray_EOTF_coord(1.2f, 0.9f, &x, &y);
    EXPECT_EQ(x, 1900);
    EXPECT_EQ(y, 330);
    get_sdr_gray_EOTF_coord(NAN, NAN, &x, &y);
    EXPECT_EQ(x, 1040);
    EXPECT_EQ(y, 790);
}

TEST_F(SdrCharts, EotfReferenceCurveEndsAtTheWhite)
{
    reference->max_E = 0.51f;
    testing::internal::CaptureStdout();
    canvas_t *c = keep(draw_sdr_gray_EOTF_canvas());
    testing::internal::GetCapturedStdout();
    const size_t before = members(c->chart_list, "line").size();
    draw_sdr_ref_EOTF(100.0f);
    const auto lines = members(c->chart_list, "line");
    ASSERT_EQ(lines.size(), before + 100);
    EXPECT_EQ(line_of(lines[before]).x, 1040);  // from the bottom-left corner
    EXPECT_EQ(line_of(lines[before]).y, 790);
    EXPECT_EQ(rgb_of(lines[before]), "120,120,120");
    EXPECT_EQ(evas_object_layer_get(lines[before]), 30);
    // The last stroke ends at full signal on the PQ value of the white.
    const float p = get_ST2084_inver_EOTF(100.0f);
    const box last = line_of(lines[lines.size() - 5]);
    EXPECT_EQ(last.w, 1900);
    EXPECT_EQ(last.h, static_cast<int>(330 + (0.6f - p) / 0.6f * 460.0 + 0.5));
}

TEST_F(SdrCharts, GrayDeBarsLabelsAndGuide)
{
    const int n = 10;
    reference->gray_steps = n;
    for (int i = 0; i <= n; ++i)
        data_gray[i].c.ts0 = i / 10.0f;
    canvas_t *c = keep(draw_sdr_gray_dE_canvas());
    ASSERT_NE(c, nullptr);
    const auto guide = members(c->chart_list, "line", 30);
    ASSERT_FALSE(guide.empty());
    EXPECT_EQ(line_of(guide[0]), (box{1080, 218, 1860, 218}));
    EXPECT_EQ(rgb_of(guide[0]), "0,200,0");

    const auto labels = members(c->x_gap_text_list);
    const auto ticks = members(c->x_gap_list);
    ASSERT_EQ(labels.size(), 11u);
    ASSERT_EQ(ticks.size(), 12u);
    EXPECT_EQ(text_of(labels[0]), "<align=center font_size=12> 0");
    EXPECT_EQ(text_of(labels[10]), "<align=center font_size=12> 100");
    EXPECT_EQ(box_of(labels[0]), (box{1051, 270, 75, 15}));
    EXPECT_EQ(line_of(ticks[0]), (box{1053, 270, 1053, 275}));
    EXPECT_EQ(line_of(ticks[11]), (box{1887, 270, 1887, 275}));

    int x, y, w, h;
    get_sdr_gray_dE_pillar_coord(0, 15.0f, &x, &y, &w, &h);
    EXPECT_EQ((box{x, y, w, h}), (box{1065, 95, 51, 175}));  // capped at 10
    get_sdr_gray_dE_pillar_coord(10, 0.0f, &x, &y, &w, &h);
    EXPECT_EQ((box{x, y, w, h}), (box{1824, 270, 51, 0}));
    get_sdr_gray_dE_pillar_coord(3, NAN, &x, &y, &w, &h);
    EXPECT_EQ(y, 270);
    EXPECT_EQ(h, 0);
}

TEST_F(SdrCharts, GrayDeWithAnEmptyStoreKeepsElevenPlaces)
{
    canvas_t *c = keep(draw_sdr_gray_dE_canvas());
    const auto labels = members(c->x_gap_text_list);
    ASSERT_EQ(labels.size(), 11u);
    for (Evas_Object *l : labels)
        EXPECT_EQ(text_of(l), "<align=center font_size=12> 0");
}

TEST_F(SdrCharts, GamutDeGuidesNamesAndBars)
{
    canvas_t *c = keep(draw_sdr_cm_dE_canvas());
    ASSERT_NE(c, nullptr);
    const auto guides = members(c->chart_list, "line", 30);
    ASSERT_GE(guides.size(), 3u);
    EXPECT_EQ(line_of(guides[0]), (box{560, 218, 980, 218}));
    EXPECT_EQ(line_of(guides[1]).y, 183);
    EXPECT_EQ(rgb_of(guides[1]), "200,200,0");
    EXPECT_EQ(line_of(guides[2]).y, 95);
    EXPECT_EQ(rgb_of(guides[2]), "200,0,0");

    const auto ticks = members(c->x_gap_list);
    const auto names = members(c->x_gap_text_list);
    ASSERT_EQ(ticks.size(), 8u);
    ASSERT_EQ(names.size(), 7u);
    const int tick_x[8] = {531, 600, 668, 736, 804, 872, 940, 1009};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(line_of(ticks[i]).x, tick_x[i]) << i;
    EXPECT_EQ(box_of(names[6]), (box{938, 270, 68, 15}));
    EXPECT_EQ(text_of(names[4]), "<align=center font_size=12> Cyan");

    int x, y, w, h;
    get_sdr_cm_dE_pillar_coord(0, 1.0f, &x, &y, &w, &h);
    EXPECT_EQ(x, 543);
    EXPECT_EQ(w, 45);
    get_sdr_cm_dE_pillar_coord(6, 12.0f, &x, &y, &w, &h);
    EXPECT_EQ((box{x, y, w, h}), (box{952, 95, 45, 175}));
}

TEST_F(SdrCharts, Cie1931MappingClampsToThePlot)
{
    testing::internal::CaptureStdout();
    keep(draw_sdr_cm_gamut_canvas());
    testing::internal::GetCapturedStdout();
    struct mapping {
        float x, y;
        int px, py;
    };
    for (const mapping &m : {mapping{0.0f, 0.0f, 520, 790}, {0.9f, 0.9f, 1020, 330}, {1.0f, 1.0f, 1020, 330},
                             {-0.1f, -0.1f, 520, 790}, {0.312712f, 0.329008f, 694, 622},
                             {0.64f, 0.33f, 876, 621}, {0.30f, 0.60f, 687, 483}, {0.15f, 0.06f, 603, 759},
                             {0.708f, 0.292f, 913, 641}, {NAN, NAN, 520, 790}}) {
        int px, py;
        get_sdr_cm_gamut_1931_coord(m.x, m.y, &px, &py);
        EXPECT_EQ(px, m.px) << m.x;
        EXPECT_EQ(py, m.py) << m.y;
    }
}

TEST_F(SdrCharts, Cie1931TargetGamut)
{
    testing::internal::CaptureStdout();
    canvas_t *c = keep(draw_sdr_cm_gamut_canvas());
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(c, nullptr);
    // The three secondaries, yellow first.
    char yellow[96];
    snprintf(yellow, sizeof yellow, "color x = %f, y = %f, Y = %f\n", static_cast<double>(reference->yellow.x),
             static_cast<double>(reference->yellow.y), static_cast<double>(reference->yellow.Y));
    EXPECT_EQ(out.rfind(yellow, 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3);
    EXPECT_FLOAT_EQ(reference->standard.green.Y, reference->RGB_to_XYZ.data[1][1]);
    EXPECT_NEAR(reference->yellow.Y, reference->RGB_to_XYZ.data[1][0] + reference->RGB_to_XYZ.data[1][1], 1e-6);

    // DCI-P3 red (0.68, 0.32) maps to (898, 626), green (0.265, 0.69) to (667, 437).
    const auto sides = members(c->chart_list, "line", 30);
    ASSERT_EQ(sides.size(), 3u);
    EXPECT_EQ(line_of(sides[0]), (box{898, 626, 667, 437}));
    EXPECT_EQ(rgb_of(sides[0]), "30,30,30");
    const auto markers = members(c->chart_list, nullptr, 31);
    ASSERT_EQ(markers.size(), 7u);
    EXPECT_EQ(box_of(markers[0]), (box{891, 619, 15, 15}));  // red, centred
    EXPECT_EQ(box_of(markers[6]), (box{687, 615, 15, 15}));  // D65 white at (694, 622)
}

TEST_F(SdrCharts, VerdictLimits)
{
    testing::internal::CaptureStdout();
    canvas_t *gray = keep(draw_sdr_gray_dE_canvas());
    canvas_t *eotf = keep(draw_sdr_gray_EOTF_canvas());
    canvas_t *gamut = keep(draw_sdr_cm_dE_canvas());
    testing::internal::GetCapturedStdout();

    draw_sdr_gray_dE_avg(1.5f);
    EXPECT_EQ(verdict_of(gray).text, "<font_size=16 align=right>Grayscale Avg dE:  1.5000");
    EXPECT_TRUE(verdict_of(gray).pass);
    draw_sdr_gray_dE_avg(1.5001f);
    EXPECT_FALSE(verdict_of(gray).pass);
    draw_sdr_gray_dE_avg(NAN);
    EXPECT_FALSE(verdict_of(gray).pass);

    draw_sdr_gray_EOTF_avg(2.5f);  // target 2.4, limits inclusive
    EXPECT_EQ(verdict_of(eotf).text, "<font_size=16 align=right>Total Gamma :  2.5000");
    EXPECT_TRUE(verdict_of(eotf).pass);
    draw_sdr_gray_EOTF_avg(2.51f);
    EXPECT_FALSE(verdict_of(eotf).pass);
    draw_sdr_gray_EOTF_avg(2.3f);
    EXPECT_TRUE(verdict_of(eotf).pass);
    draw_sdr_gray_EOTF_avg(NAN);
    EXPECT_FALSE(verdict_of(eotf).pass);

    draw_sdr_cm_dE_avg(2.5f);
    EXPECT_EQ(verdict_of(gamut).text, "<font_size=16 align=right>dE 2000 Max:  2.5000");
    EXPECT_TRUE(verdict_of(gamut).pass);
    draw_sdr_cm_dE_avg(2.51f);
    EXPECT_FALSE(verdict_of(gamut).pass);
}
