// The drawing framework on a headless canvas: construction sequence, axes,
// primitives, restyles and deletion.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/reference.h"
#include "draw/draw_basic.h"
#include "draw/draw_bg.h"
#include "draw/draw_delete.h"
#include "draw/draw_main_win.h"
#include "draw/draw_title.h"
#include "draw/draw_x_y.h"
#include "test_support.h"

namespace {

struct geometry {
    int x, y, w, h;
    bool operator==(const geometry &) const = default;
};

geometry geom(Evas_Object *o)
{
    geometry g{};
    evas_object_geometry_get(o, &g.x, &g.y, &g.w, &g.h);
    return g;
}

std::vector<int> colour(Evas_Object *o)
{
    int r, g, b, a;
    evas_object_color_get(o, &r, &g, &b, &a);
    return {r, g, b, a};
}

std::vector<Evas_Object *> objects(Eina_List *list)
{
    std::vector<Evas_Object *> out;
    Eina_List *l;
    void *o;
    EINA_LIST_FOREACH(list, l, o)
        out.push_back(static_cast<Evas_Object *>(o));
    return out;
}

bool in(Eina_List *list, Evas_Object *o)
{
    return eina_list_data_find(list, o) != nullptr;
}

std::string text_of(Evas_Object *label)
{
    const char *t = elm_object_text_get(label);
    return t != nullptr ? t : "";
}

constexpr chart_def_t SAMPLE_CHART = {
    "draw_sample_canvas", 1040, 60, 860.0f, 210.0f, 1, 6, nullptr, 860,
    "/usr/local/app/image/icon_dE.png", " dE 2000 --- Grayscale", {12.0f, 2.0f, 2}, {1.0f, 1.0f, 5},
};

class Draw : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("ANALYZER_ROOT", ANALYZER_BUILD_ROOT, 1);
        ensure_headless_efl();
    }
    chart_records_t rec{};
    std::vector<canvas_t *> made;
    canvas_t *build(const chart_def_t &def = SAMPLE_CHART)
    {
        canvas_t *c = build_chart_canvas(rec, def);
        if (c != nullptr)
            made.push_back(c);
        return c;
    }
    void TearDown() override
    {
        for (canvas_t *c : made) {
            del_canvas(c);
            free(c);
        }
    }
};

// Fails the n-th allocation of the construction sequence (1-based).
int calls_before_failure = 0;
void *failing_calloc(size_t n, size_t size)
{
    return --calls_before_failure == 0 ? nullptr : calloc(n, size);
}

}  // namespace

TEST_F(Draw, ConstructionFillsRecordsAndDrawsChartObjects)
{
    init_reference();
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(rec.canvas, c);
    EXPECT_EQ(rec.title, c->title);
    EXPECT_EQ(c->x, 1040);
    EXPECT_EQ(c->y, 60);
    EXPECT_FLOAT_EQ(c->left_label->max, 12.0f);
    EXPECT_EQ(c->down_label->digits, 5);
    EXPECT_EQ(c->data_list, nullptr);
    // Background, title bar, icon, title text, five grid rows of dashes and labels, five frame parts.
    EXPECT_EQ(geom(c->bg), (geometry{1040, 60, 860, 210}));
    EXPECT_EQ(evas_object_layer_get(c->bg), 0);
    EXPECT_EQ(geom(c->title->bar_obj), (geometry{1040, 20, 861, 40}));
    EXPECT_EQ(evas_object_layer_get(c->title->bar_obj), 21);
    EXPECT_EQ(geom(c->title->icon_obj), (geometry{1040, 20, 40, 40}));
    EXPECT_EQ(evas_object_layer_get(c->title->text_obj), 22);
    EXPECT_STREQ(evas_object_text_text_get(c->title->text_obj), " dE 2000 --- Grayscale");
    int tx, ty;
    evas_object_geometry_get(c->title->text_obj, &tx, &ty, nullptr, nullptr);
    EXPECT_EQ(tx, 1080);
    EXPECT_EQ(ty, 25);
    EXPECT_EQ(colour(c->title->text_obj), (std::vector<int>{200, 200, 200, 255}));
}

TEST_F(Draw, MissingReferenceIsReportedAndChartStillBuilt)
{
    reference_t *saved = reference;
    reference = nullptr;
    testing::internal::CaptureStdout();
    canvas_t *c = build();
    std::string out = testing::internal::GetCapturedStdout();
    reference = saved;
    EXPECT_NE(c, nullptr);
    EXPECT_NE(out.find("Warning: draw_sample_canvas reference is NULL!\n"), std::string::npos);
}

TEST_F(Draw, EachFailedAllocationFreesWhatWasMadeAndReturnsNull)
{
    const char *names[] = {"title", "left_label", "down_label", "canvas"};
    for (int fail_at = 1; fail_at <= 4; ++fail_at) {
        calls_before_failure = fail_at;
        chart_calloc = failing_calloc;
        rec = {};
        testing::internal::CaptureStderr();
        canvas_t *c = build();
        std::string err = testing::internal::GetCapturedStderr();
        chart_calloc = calloc;
        EXPECT_EQ(c, nullptr);
        EXPECT_EQ(rec.canvas, nullptr);
        EXPECT_EQ(rec.title, nullptr);
        EXPECT_EQ(err.rfind(std::string(names[fail_at - 1]) + ":", 0), 0u) << err;
    }
}

TEST_F(Draw, HorizontalGridRowsLabelsAndFrame)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    std::vector<Evas_Object *> labels = objects(c->x_y_text_list);
    ASSERT_EQ(labels.size(), 5u);
    const char *expected[] = {"10", "8", "6", "4", "2"};
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(text_of(labels[j]), std::string("<align=left font_size=14> ") + expected[j]);
        EXPECT_EQ(geom(labels[j]), (geometry{1041, 60 + 35 * (j + 1) - 7, 40, 15}));
        EXPECT_EQ(evas_object_layer_get(labels[j]), 20);
    }
    // Dashes of the first row start 2 px in, every 9 px.
    int dashes_on_row = 0;
    for (Evas_Object *o : objects(c->chart_list)) {
        geometry g = geom(o);
        if (g.y == 95 && g.h == 1 && colour(o)[0] == 100) {
            EXPECT_EQ((g.x - 1042) % 9, 0);
            ++dashes_on_row;
        }
    }
    EXPECT_EQ(dashes_on_row, 96);  // offsets 2, 11, ..., 857
    std::vector<Evas_Object *> frame = objects(c->x_y_list);
    ASSERT_EQ(frame.size(), 5u);
    EXPECT_EQ(geom(frame[0]), (geometry{1040, 20, 861, 1}));
    EXPECT_EQ(geom(frame[1]), (geometry{1040, 59, 861, 1}));
    EXPECT_EQ(geom(frame[2]), (geometry{1040, 270, 861, 1}));
    EXPECT_EQ(geom(frame[3]), (geometry{1040, 20, 1, 251}));
    EXPECT_EQ(geom(frame[4]), (geometry{1900, 20, 1, 251}));
    for (Evas_Object *f : frame)
        EXPECT_EQ(colour(f), (std::vector<int>{192, 192, 192, 255}));
}

TEST_F(Draw, VerticalGridOnTallColumnAndLabelDigits)
{
    chart_def_t def = SAMPLE_CHART;
    def.x = 520;
    def.y = 330;
    def.width = 500.0f;
    def.height = 460.0f;
    def.x_grid_count = 9;
    def.y_grid_count = 1;
    def.down = {0.9f, 0.1f, 2};
    canvas_t *c = build(def);
    ASSERT_NE(c, nullptr);
    std::vector<Evas_Object *> labels = objects(c->x_y_text_list);
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(text_of(labels[0]), "<align=center font_size=14> 0.1");
    EXPECT_EQ(text_of(labels[2]), "<align=center font_size=14> 0.3");
    EXPECT_EQ(geom(labels[0]), (geometry{576 - 20, 330 + 460 - 16, 40, 15}));
    // Column 1 (x 576): dashes at offsets 0, 9, ..., 459; the last is 1 px tall.
    std::vector<geometry> dashes;
    for (Evas_Object *o : objects(c->chart_list)) {
        geometry g = geom(o);
        if (g.x == 576 && g.w == 1 && colour(o)[0] == 100)
            dashes.push_back(g);
    }
    ASSERT_EQ(dashes.size(), 52u);
    EXPECT_EQ(dashes.front(), (geometry{576, 330, 1, 2}));
    EXPECT_EQ(dashes.back(), (geometry{576, 789, 1, 1}));
}

TEST_F(Draw, PrimitivesFileByLayer)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    const uint8_t yellow[3] = {255, 255, 0};
    draw_line(c, 0, 0, 10, 10, yellow, 39);
    Evas_Object *chart_line = static_cast<Evas_Object *>(eina_list_last_data_get(c->chart_list));
    draw_line(c, 0, 0, 10, 10, yellow, 40);
    Evas_Object *data_line = static_cast<Evas_Object *>(eina_list_last_data_get(c->data_list));
    draw_line(c, 0, 0, 10, 10, yellow, 41);
    Evas_Object *styled_line = static_cast<Evas_Object *>(eina_list_last_data_get(c->data_list));
    EXPECT_FALSE(in(c->data_list, chart_line));
    EXPECT_FALSE(in(c->data_line_list, data_line));
    EXPECT_TRUE(in(c->data_line_list, styled_line));
    EXPECT_EQ(evas_object_layer_get(styled_line), 41);

    draw_point(c, 100, 50, "/no/such/marker.png", 42);
    std::vector<Evas_Object *> data = objects(c->data_list);
    ASSERT_EQ(data.size(), 4u);
    EXPECT_EQ(geom(data[2]), (geometry{97, 47, 7, 7}));
    EXPECT_EQ(colour(data[2]), (std::vector<int>{124, 124, 124, 255}));
    EXPECT_EQ(geom(data[3]), (geometry{98, 48, 5, 5}));

    // An image marker is centred by its own size.
    draw_point(c, 100, 50, "/usr/local/app/image/meas_white_7_7.png", 31);
    Evas_Object *marker = static_cast<Evas_Object *>(eina_list_last_data_get(c->chart_list));
    EXPECT_EQ(geom(marker), (geometry{97, 47, 7, 7}));

    change_data_line_style(c, 1);
    EXPECT_EQ(colour(styled_line), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(colour(data_line), (std::vector<int>{255, 255, 0, 255}));
    change_data_line_style(c, 0);
    EXPECT_EQ(colour(styled_line), (std::vector<int>{255, 255, 0, 255}));
}

TEST_F(Draw, MissingImagesAreReportedAndDrawingGoesOn)
{
    chart_def_t def = SAMPLE_CHART;
    def.bg_image = "/usr/local/app/image/no_such_bg.png";
    def.icon = "/usr/local/app/image/no_such_icon.png";
    testing::internal::CaptureStdout();
    canvas_t *c = build(def);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(c, nullptr);
    const std::string root = ANALYZER_BUILD_ROOT;
    EXPECT_NE(out.find("error: could not load image \"" + root + "/usr/local/app/image/no_such_bg.png\"\n"),
              std::string::npos);
    EXPECT_NE(out.find("error: could not load image \"" + root + "/usr/local/app/image/no_such_icon.png\"\n"),
              std::string::npos);
    EXPECT_NE(c->title->bar_obj, nullptr);
    EXPECT_EQ(c->title->icon_obj, nullptr);
    EXPECT_EQ(c->title->text_obj, nullptr) << "no text without its icon";
    // The empty background image is still placed and listed on layer 1.
    Evas_Object *img = objects(c->chart_list)[1];
    EXPECT_EQ(geom(img), (geometry{1040, 60, 860, 210}));
    EXPECT_EQ(evas_object_layer_get(img), 1);
}

TEST_F(Draw, RestylesForTheLightCaptureAndBack)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    draw_x_tick(c, 1065, 270, 275);
    ASSERT_TRUE(draw_x_tick_label(c, "<align=center font_size=12> 0", 1063, 270, 75, 15));
    const uint8_t grey[3] = {200, 200, 200};
    draw_pillar(c, 1065, 200, 51, 70, grey, "<align=center font_size=14> 1.00", 17);
    draw_verdict(c, "Grayscale Avg dE: ", 1.5f, true);
    EXPECT_EQ(text_of(c->result_text), "<font_size=16 align=right>Grayscale Avg dE:  1.5000");
    EXPECT_EQ(geom(c->result_text), (geometry{1035, 62, 860, 20}));

    for (int style : {1, 2, 0}) {
        change_title_style(c, style);
        change_bg_style(c, style);
        change_x_y_style(c, style);
        change_x_gap_style(c, style);
        change_test_result_style(c, style);
        change_data_text_style(c, style);
        const int text = style == 1 ? 0 : 255;
        const int frame = style == 0 ? 192 : style == 1 ? 63 : 255;
        EXPECT_EQ(colour(objects(c->x_y_list)[0]), (std::vector<int>{frame, frame, frame, 255}));
        EXPECT_EQ(colour(objects(c->x_y_text_list)[0])[0], text);
        EXPECT_EQ(colour(objects(c->x_gap_list)[0])[0], text);
        EXPECT_EQ(colour(objects(c->x_gap_text_list)[0])[0], text);
        EXPECT_EQ(colour(objects(c->data_text_list)[0])[0], text);
        if (style == 1) {
            EXPECT_FALSE(evas_object_visible_get(c->bg));
            EXPECT_FALSE(evas_object_visible_get(c->title->bar_obj));
            EXPECT_EQ(colour(c->title->text_obj), (std::vector<int>{55, 55, 55, 255}));
            EXPECT_EQ(colour(c->result_text), (std::vector<int>{0, 0, 0, 255}));
        } else if (style == 2) {
            EXPECT_FALSE(evas_object_visible_get(c->bg)) << "style 2 leaves the background alone";
            EXPECT_EQ(colour(c->result_text), (std::vector<int>{0, 0, 0, 255}));
        } else {
            EXPECT_TRUE(evas_object_visible_get(c->bg));
            EXPECT_TRUE(evas_object_visible_get(c->title->bar_obj));
            EXPECT_EQ(colour(c->result_text), (std::vector<int>{255, 255, 255, 255}));
        }
    }
    // The dashed grid is never recoloured.
    for (Evas_Object *o : objects(c->chart_list)) {
        geometry g = geom(o);
        if (g.h == 1 && g.w == 2) {
            EXPECT_EQ(colour(o)[0], 100);
        }
    }
    // Null canvases are ignored.
    change_title_style(nullptr, 1);
    change_bg_style(nullptr, 1);
    change_x_y_style(nullptr, 1);
    change_x_gap_style(nullptr, 1);
    change_test_result_style(nullptr, 1);
    change_data_text_style(nullptr, 1);
    change_data_line_style(nullptr, 1);
}

TEST_F(Draw, PillarAndVerdictPlacement)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    const uint8_t red[3] = {255, 0, 0};
    draw_pillar(c, 54, 1034, 68, 26, red, "<align=center font_size=14> 1.500", 17);
    std::vector<Evas_Object *> charts = objects(c->chart_list);
    Evas_Object *label = charts.back();
    Evas_Object *outline = charts[charts.size() - 2];
    Evas_Object *bar = static_cast<Evas_Object *>(eina_list_last_data_get(c->data_list));
    EXPECT_EQ(geom(outline), (geometry{53, 1033, 70, 27}));
    EXPECT_EQ(evas_object_layer_get(outline), 31);
    EXPECT_EQ(geom(bar), (geometry{54, 1034, 68, 26}));
    EXPECT_EQ(evas_object_layer_get(bar), 42);
    EXPECT_EQ(colour(bar), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(geom(label), (geometry{52, 1017, 68, 20}));
    EXPECT_TRUE(in(c->data_text_list, label));

    draw_test_result_img(c, 0);
    Evas_Object *img = static_cast<Evas_Object *>(eina_list_last_data_get(c->chart_list));
    EXPECT_EQ(geom(img), (geometry{1040 + 860 - 40 + 2, 21, 38, 38}));
    EXPECT_EQ(evas_object_layer_get(img), 22);
}

TEST_F(Draw, DeletingDataKeepsChartAndForgetsDataLines)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    const uint8_t yellow[3] = {255, 255, 0};
    draw_line(c, 0, 0, 5, 5, yellow, 41);
    draw_rect(c, 1, 2, 3, 0, 0, 5, 5, 42);
    const unsigned chart_count = eina_list_count(c->chart_list);
    del_canvas_data(c);
    EXPECT_EQ(c->data_list, nullptr);
    EXPECT_EQ(c->data_line_list, nullptr);
    EXPECT_EQ(eina_list_count(c->chart_list), chart_count);
    change_data_line_style(c, 1);  // must not touch deleted lines

    del_canvas(c);
    EXPECT_EQ(c->chart_list, nullptr);
    EXPECT_EQ(c->title, nullptr);
    EXPECT_EQ(c->left_label, nullptr);
    EXPECT_EQ(c->down_label, nullptr);
    del_canvas(c);  // twice is harmless
    del_canvas(nullptr);
    del_canvas_data(nullptr);
}

TEST_F(Draw, ArialResolvesToLiberationSans)
{
    auto width_with = [](const char *font) {
        Evas_Object *t = evas_object_text_add(evas_object_evas_get(win));
        evas_object_text_font_set(t, font, 20);
        evas_object_text_text_set(t, " dE 2000 --- Color Checker");
        int w = 0;
        evas_object_geometry_get(t, nullptr, nullptr, &w, nullptr);
        evas_object_del(t);
        return w;
    };
    const int arial = width_with("arial.ttf");
    EXPECT_EQ(arial, width_with("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));
    EXPECT_NE(arial, width_with("/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf"));
}
