// The drawing framework on a headless canvas: construction sequence, axes,
// failures, restyles and deletion.
#include <cstdint>
#include <string>
#include <vector>

#include "chart_probe.h"
#include "charts/draw_verdict.h"
#include "draw/draw_basic.h"
#include "draw/draw_title.h"
#include "draw/draw_x_y.h"

namespace {

// The grayscale dE chart's values: 1040, 60, 860 x 210, six rows.
constexpr chart_def_t SAMPLE = {
    .plot = {.x = 1040, .y = 60, .width = 860.0f, .height = 210.0f},
    .y_grid_count = 6,
    .title_width = 860,
    .icon = "/usr/local/app/image/icon_dE.png",
    .text = " dE 2000 --- Grayscale",
    .left = {.max = 12.0f, .step = 2.0f, .digits = 2},
    .down = {.max = 1.0f, .step = 1.0f, .digits = 5},
};

// The window rendered now: its frame, read as RGB.
struct frame {
    const uint32_t *px = nullptr;
    int stride = 0;
    uint32_t at(int x, int y) const { return px[y * stride + x] & 0xffffffu; }
};
frame render_window()
{
    elm_win_render(win);
    Ecore_Evas *ee = ecore_evas_ecore_evas_get(evas_object_evas_get(win));
    frame f;
    f.px = static_cast<const uint32_t *>(ecore_evas_buffer_pixels_get(ee));
    ecore_evas_geometry_get(ee, nullptr, nullptr, &f.stride, nullptr);
    return f;
}

int calls_before_failure = 0;
void *failing_calloc(size_t n, size_t size)
{
    return --calls_before_failure == 0 ? nullptr : calloc(n, size);
}

class Draw : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("ANALYZER_ROOT", ANALYZER_BUILD_ROOT, 1);
        ensure_headless_efl();
    }
    std::vector<canvas_t *> made;
    canvas_t *build(const chart_def_t &def = SAMPLE)
    {
        canvas_t *c = build_chart_canvas(def);
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

}  // namespace

TEST_F(Draw, ConstructionDrawsBackgroundTitleGridAndFrame)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->left_label, nullptr);
    EXPECT_EQ(c->data_list, nullptr);
    EXPECT_EQ(where(c->bg), (quad{1040, 60, 860, 210}));
    EXPECT_EQ(evas_object_layer_get(c->bg), 0);
    EXPECT_EQ(where(c->title->bar_obj), (quad{1040, 20, 861, 40}));
    EXPECT_EQ(evas_object_layer_get(c->title->bar_obj), 21);
    EXPECT_EQ(where(c->title->icon_obj), (quad{1040, 20, 40, 40}));
    EXPECT_EQ(evas_object_layer_get(c->title->text_obj), 22);
    EXPECT_EQ(where(c->title->text_obj).a, 1080);
    EXPECT_EQ(where(c->title->text_obj).b, 25);
    EXPECT_EQ(colour(c->title->text_obj), "200,200,200");

    // Six rows: labels 10 to 2 at the rows y + 35 j, dashes from 2 px in every 9 px.
    std::vector<Evas_Object *> labels = objects(c->x_y_text_list);
    ASSERT_EQ(labels.size(), 5u);
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(text(labels[j]), "<align=left font_size=14> " + std::to_string(10 - 2 * j));
        EXPECT_EQ(where(labels[j]), (quad{1041, 60 + 35 * (j + 1) - 7, 40, 15}));
    }
    int dashes = 0;
    for (Evas_Object *o : objects(c->chart_list))
        if (where(o).b == 95 && where(o).d == 1 && colour(o) == "100,100,100" && (where(o).a - 1042) % 9 == 0)
            ++dashes;
    EXPECT_EQ(dashes, 96);
    const std::vector<quad> frame = {{1040, 20, 861, 1}, {1040, 59, 861, 1}, {1040, 270, 861, 1},
                                     {1040, 20, 1, 251}, {1900, 20, 1, 251}};
    std::vector<Evas_Object *> parts = objects(c->x_y_list);
    ASSERT_EQ(parts.size(), frame.size());
    for (size_t i = 0; i < frame.size(); ++i) {
        EXPECT_EQ(where(parts[i]), frame[i]);
        EXPECT_EQ(colour(parts[i]), "192,192,192");
    }
}

TEST_F(Draw, VerticalGridOnTheCieChart)
{
    chart_def_t def = SAMPLE;
    def.plot = {520, 330, 500.0f, 460.0f};
    def.x_grid_count = 9, def.y_grid_count = 1, def.down = {0.9f, 0.1f, 2};
    canvas_t *c = build(def);
    ASSERT_NE(c, nullptr);
    std::vector<Evas_Object *> labels = objects(c->x_y_text_list);
    ASSERT_EQ(labels.size(), 8u);
    EXPECT_EQ(text(labels[2]), "<align=center font_size=14> 0.3");  // 0.30000001 with 2 digits
    EXPECT_EQ(where(labels[0]), (quad{556, 774, 40, 15}));
    // Column x 576: dashes at offsets 0, 9, ..., 459, the last one 1 px tall.
    std::vector<quad> dashes;
    for (Evas_Object *o : objects(c->chart_list))
        if (where(o).a == 576 && where(o).c == 1 && colour(o) == "100,100,100")
            dashes.push_back(where(o));
    ASSERT_EQ(dashes.size(), 52u);
    EXPECT_EQ(dashes.back(), (quad{576, 789, 1, 1}));
}

// The dashes hang on an image clipper so that Evas does not take each one
// for an obscuring object; what lands on screen must not change.
TEST_F(Draw, GridDashesAreClippedAndRenderUnchanged)
{
    chart_def_t def = SAMPLE;
    def.x_grid_count = 4;
    canvas_t *c = build(def);
    ASSERT_NE(c, nullptr);
    int dashes = 0;
    for (Evas_Object *o : objects(c->chart_list)) {
        if (colour(o) != "100,100,100")
            continue;
        ++dashes;
        Evas_Object *k = evas_object_clip_get(o);
        ASSERT_NE(k, nullptr);
        const quad d = where(o), g = where(k);
        EXPECT_TRUE(d.a >= g.a && d.b >= g.b && d.a + d.c <= g.a + g.c && d.b + d.d <= g.b + g.d)
            << "the clipper covers every dash";
    }
    EXPECT_EQ(dashes, 5 * 96 + 3 * 24);

    // On screen: a row dash at (1042, 95), the plot background beside it,
    // and a column dash at x 1255 from y 60.
    const frame f = render_window();
    ASSERT_NE(f.px, nullptr);
    EXPECT_EQ(f.at(1042, 95), 0x646464u);
    EXPECT_EQ(f.at(1043, 95), 0x646464u);
    EXPECT_EQ(f.at(1045, 95), 0x202020u);
    EXPECT_EQ(f.at(1255, 60), 0x646464u);
    EXPECT_EQ(f.at(1255, 61), 0x646464u);
    EXPECT_EQ(f.at(1255, 62), 0x202020u);

    // Deleted with the chart: without its dashes a clipper would show as white.
    del_canvas(c);
    EXPECT_EQ(render_window().at(1042, 95), 0x252525u);
}

// The report is rendered once right after it is built: the artwork must be
// in that render, not loaded later by a background thread.
TEST_F(Draw, ImagesAreInTheFirstRender)
{
    temp_dir root;
    write_file(root.path + "/img/fresh.png",
               read_file(std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/image/cie_1931.png"));
    chart_def_t def = SAMPLE;
    def.bg_image = "/img/fresh.png";
    setenv("ANALYZER_ROOT", root.path.c_str(), 1);
    canvas_t *c = build(def);
    setenv("ANALYZER_ROOT", ANALYZER_BUILD_ROOT, 1);
    ASSERT_NE(c, nullptr);

    const frame f = render_window();
    ASSERT_NE(f.px, nullptr);
    // Inside the diagram (x 0.3, y 0.4 of the 0..0.9 span): coloured, not the plot background.
    EXPECT_NE(f.at(1327, 177), 0x202020u);
}

TEST_F(Draw, FailedAllocationsFreeWhatWasMade)
{
    const char *names[] = {"title", "left_label", "down_label", "canvas"};
    for (int fail_at = 1; fail_at <= 4; ++fail_at) {
        calls_before_failure = fail_at;
        chart_calloc = failing_calloc;
        testing::internal::CaptureStderr();
        canvas_t *c = build();
        std::string err = testing::internal::GetCapturedStderr();
        chart_calloc = calloc;
        EXPECT_EQ(c, nullptr);
        EXPECT_EQ(err.rfind(std::string(names[fail_at - 1]) + ":", 0), 0u) << err;
    }
}

TEST_F(Draw, MissingImagesAreReportedAndDrawingGoesOn)
{
    chart_def_t def = SAMPLE;
    def.bg_image = "/usr/local/app/image/no_such_bg.png";
    def.icon = "/usr/local/app/image/no_such_icon.png";
    testing::internal::CaptureStdout();
    canvas_t *c = build(def);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(c, nullptr);
    const std::string dir = std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/image/";
    EXPECT_NE(out.find("error: could not load image \"" + dir + "no_such_bg.png\"\n"), std::string::npos);
    EXPECT_NE(out.find("error: could not load image \"" + dir + "no_such_icon.png\"\n"), std::string::npos);
    EXPECT_EQ(c->title->icon_obj, nullptr);
    EXPECT_EQ(c->title->text_obj, nullptr) << "no text without its icon";
    // The empty background image is still placed and listed on layer 1.
    Evas_Object *img = objects(c->chart_list)[1];
    EXPECT_EQ(where(img), (quad{1040, 60, 860, 210}));
    EXPECT_EQ(evas_object_layer_get(img), 1);
}

// The light capture's style: dark lines and texts on white.
TEST_F(Draw, RestylesForTheLightCapture)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    draw_x_tick(c, 1065, 270, 275);
    ASSERT_TRUE(draw_x_tick_label(c, "<align=center font_size=12> 0", 1063, 270, 75, 15));
    const uint8_t grey[3] = {200, 200, 200};
    draw_pillar(c, 1065, 200, 51, 70, grey, "<align=center font_size=14> 1.00", 17);
    const uint8_t yellow[3] = {255, 255, 0};
    draw_line(c, 1065, 200, 1116, 150, yellow, 41);  // a measured curve's segment
    draw_verdict(c, SDR_GRAY_DE2000_AVG, {1.5f, false, true});
    EXPECT_EQ(text(c->result_text), "<font_size=16 align=right>Grayscale Avg dE:  1.5000");
    EXPECT_EQ(where(c->result_text), (quad{1035, 62, 860, 20}));
    EXPECT_EQ(where(objects(c->data_list).back()), (quad{1862, 21, 38, 38})) << "verdict image";
    EXPECT_EQ(evas_object_layer_get(objects(c->data_list).back()), 22);

    change_title_style(c, 1);
    change_bg_style(c, 1);
    change_x_y_style(c, 1);
    change_x_gap_style(c, 1);
    change_test_result_style(c, 1);
    change_data_text_style(c, 1);
    change_data_line_style(c, 1);
    EXPECT_EQ(colour(objects(c->x_y_list)[0]), "63,63,63");
    EXPECT_EQ(colour(objects(c->data_line_list)[0]), "255,0,0");
    for (Eina_List *list : {c->x_y_text_list, c->x_gap_list, c->x_gap_text_list, c->data_text_list})
        EXPECT_EQ(colour(objects(list)[0]), "0,0,0");
    EXPECT_EQ(colour(c->result_text), "0,0,0");
    EXPECT_FALSE(evas_object_visible_get(c->bg));
    for (Evas_Object *o : objects(c->chart_list))
        EXPECT_TRUE(where(o).c != 2 || where(o).d != 1 || colour(o) == "100,100,100") << "the dashed grid keeps its grey";
}

TEST_F(Draw, PointsDrawTheirImageOnEveryLayerMeasuredPointsAreSquares)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    const unsigned chart_count = eina_list_count(c->chart_list);
    draw_point(c, 100, 50, "/usr/local/app/image/meas_white_7_7.png", 42);
    draw_point(c, 200, 50, "/usr/local/app/image/round_15_15_01.png", 31);
    const auto images = objects(c->data_list, "elm_image");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(where(images[0]), (quad{97, 47, 7, 7}));
    EXPECT_EQ(evas_object_layer_get(images[0]), 42);
    ASSERT_EQ(eina_list_count(c->chart_list), chart_count + 1);
    EXPECT_EQ(where(objects(c->chart_list).back()), (quad{193, 43, 15, 15}));

    draw_square_marker(c, 100, 50);
    const auto squares = objects(c->data_list, "rectangle", 42);
    ASSERT_EQ(squares.size(), 2u);
    EXPECT_EQ(where(squares[0]), (quad{97, 47, 7, 7}));
    EXPECT_EQ(colour(squares[0]), "124,124,124");
    EXPECT_EQ(where(squares[1]), (quad{98, 48, 5, 5}));
    EXPECT_EQ(colour(squares[1]), "255,255,255");
}

TEST_F(Draw, RedrawingTheDataLeavesNothingStale)
{
    canvas_t *c = build();
    ASSERT_NE(c, nullptr);
    const unsigned chart_count = eina_list_count(c->chart_list);
    Evas *evas = evas_object_evas_get(win);
    auto on_screen = [&] {
        evas_norender(evas);  // frees what was deleted
        Eina_List *all = evas_objects_in_rectangle_get(evas, 1030, 10, 880, 270, EINA_TRUE, EINA_TRUE);
        const unsigned n = eina_list_count(all);
        eina_list_free(all);
        return n;
    };
    // Bars with their outline and value, a data line and the verdict.
    auto draw_data = [&](float v) {
        const uint8_t grey[3] = {200, 200, 200}, yellow[3] = {255, 255, 0};
        draw_pillar(c, 1065, 200, 51, 70, grey, "<align=center font_size=14> 1.00", 17);
        draw_pillar(c, 1141, 230, 51, 40, grey, "<align=center font_size=14> 0.50", 17);
        draw_line(c, 1065, 200, 1116, 150, yellow, 41);
        draw_verdict(c, SDR_GRAY_DE2000_AVG, {v, v <= 1.5f, true});
    };
    const unsigned bare = on_screen();
    draw_data(1.0f);
    const unsigned with_data = on_screen();
    del_canvas_data(c);
    EXPECT_EQ(c->data_list, nullptr);
    EXPECT_EQ(c->data_line_list, nullptr);
    EXPECT_EQ(c->data_text_list, nullptr);
    EXPECT_EQ(c->result_text, nullptr);
    EXPECT_EQ(eina_list_count(c->chart_list), chart_count);
    EXPECT_EQ(on_screen(), bare) << "outlines, bars, labels, the line and the verdict are gone";
    draw_data(2.0f);
    EXPECT_EQ(on_screen(), with_data) << "one verdict and the new labels only";
    EXPECT_EQ(text(c->result_text), "<font_size=16 align=right>Grayscale Avg dE:  2.0000");
    EXPECT_EQ(objects(c->data_text_list).size(), 2u);
    del_canvas(c);
    EXPECT_EQ(c->chart_list, nullptr);
    EXPECT_EQ(c->title, nullptr);
    del_canvas(c);  // twice is harmless
}

TEST_F(Draw, ArialResolvesToLiberationSans)
{
    auto width_with = [](const char *font) {
        Evas_Object *t = evas_object_text_add(evas_object_evas_get(win));
        evas_object_text_font_set(t, font, 20);
        evas_object_text_text_set(t, " dE 2000 --- Color Checker");
        int w = where(t).c;
        evas_object_del(t);
        return w;
    };
    const int arial = width_with("arial.ttf");
    EXPECT_EQ(arial, width_with("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));
    EXPECT_NE(arial, width_with("/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf"));
}
