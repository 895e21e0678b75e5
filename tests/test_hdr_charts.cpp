// The HDR EOTF chart with its reference curves, and the HDR data overlay that
// plots the measured patches on all four charts and decides the verdicts.
#include <cmath>
#include <tuple>

#include "chart_probe.h"
#include "charts/draw_verdict.h"
#include "charts/hdr/draw_hdr_gray_EOTF_chart.h"
#include "draw/draw_basic.h"

namespace {

class HdrEotfChart : public ChartTest {
protected:
    // The reference curve drawn for a target, with the console output.
    std::string curve(int test_type, float max_E = 0.5f)
    {
        job.target.test_type = static_cast<eotf_t>(test_type);
        job.white.max_E = max_E;
        job.white.bright_Y = 1000.0f;
        return output_of([&] { draw_hdr_ref_EOTF(made.back(), job); });
    }
};

}  // namespace

TEST_F(HdrEotfChart, MappingTicksAndVerdict)
{
    canvas_t *c = build(draw_hdr_gray_EOTF_canvas);
    EXPECT_EQ(outputs(get_hdr_gray_EOTF_coord, job, 0.5f, 0.25f), (quad{1560, 539, 0, 0}));
    EXPECT_EQ(eina_list_count(c->x_gap_text_list), 11u);  // ticks as on the SDR chart

    draw_verdict(c, HDR_EOTF_DIFF_MAX, judge(HDR_EOTF_DIFF_MAX, 0.0499f, 2.4f));
    EXPECT_TRUE(verdict_of(c).pass);
    // Just above the double 0.05, but it prints as the limit: it passes.
    draw_verdict(c, HDR_EOTF_DIFF_MAX, judge(HDR_EOTF_DIFF_MAX, 0.05f, 2.4f));
    EXPECT_EQ(verdict_of(c).text, "EOTF Diff Max:  0.0500");
    EXPECT_TRUE(verdict_of(c).pass);
    draw_verdict(c, HDR_EOTF_DIFF_MAX, judge(HDR_EOTF_DIFF_MAX, 0.0501f, 2.4f));
    EXPECT_FALSE(verdict_of(c).pass);
}

TEST_F(HdrEotfChart, PqCurveRampsToTheWhiteAndClips)
{
    canvas_t *c = build(draw_hdr_gray_EOTF_canvas);
    EXPECT_EQ(curve(2), "PQ max E' = 0.500000\r\n");
    // Thick strokes: the ramp's second line moves both ends, the clip's only its start.
    for (auto [i, line] : {std::pair{0, quad{1220, 692, 1560, 386}}, {1, {1221, 692, 1561, 386}},
                           {5, {1560, 386, 1899, 386}}, {6, {1561, 386, 1899, 386}}})
        EXPECT_EQ(where(marks(c).at(i)), line) << i;
    EXPECT_EQ(colour(marks(c).at(9)), "120,120,120");

    // A white at full PQ ends the ramp in the top-right corner.
    curve(2, 1.0f);
    EXPECT_EQ(where(marks(c).at(10)), (quad{1220, 692, 1900, 80}));
    EXPECT_EQ(where(marks(c).at(15)), (quad{1900, 80, 1899, 80}));
}

TEST_F(HdrEotfChart, HlgCurveHasTwentyRisingSegmentsOtherTargetsNone)
{
    canvas_t *c = build(draw_hdr_gray_EOTF_canvas);
    EXPECT_EQ(curve(1), "Error: draw_hdr_ref_EOTF\r\n");
    EXPECT_TRUE(marks(c).empty());

    curve(3);
    const auto lines = marks(c);
    ASSERT_EQ(lines.size(), 100u);
    quad prev{0, 0, 1220, 692};
    for (int i = 0; i < 20; ++i) {
        const quad seg = where(lines[5 * i]);
        EXPECT_EQ((quad{seg.a, seg.b, seg.c, 0}), (quad{prev.c, prev.d, 1220 + 34 * (i + 1), 0})) << i;
        EXPECT_LT(seg.d, prev.d) << i;
        prev = seg;
    }
    EXPECT_NEAR(prev.d, 80 + (1 - 0.7518) * 612, 1.0);  // the 1000 cd/m² white in PQ
}

namespace {

// The HDR page for a PQ target whose white has PQ value 0.5, plotted as the
// run does. Patches 0 to 2 lie below the clip and get pillars; 3 (0.1 above
// the curve) and 4 only EOTF points.
class HdrOverlay : public ChartTest {
protected:
    void SetUp() override
    {
        ChartTest::SetUp();
        job.target.test_type = EOTF_PQ;
        job.kind = REPORT_HDR;
        job.white.max_E = 0.5f;
        for (auto [i, signal, E_prime, dE2000, dEITP] :
             {std::tuple{0, 0.0f, 0.0f, 1.0f, 9.0f}, {1, 0.25f, 0.25f, 2.0f, 1.0f}, {2, 0.5f, 0.5f, 3.0f, 2.0f},
              {3, 0.75f, 0.6f, 9.0f, 9.0f}, {4, 1.0f, 0.5f, 9.0f, 9.0f}}) {
            data_gray[i].c.ts0 = signal;
            data_gray[i].E_prime = E_prime;
            data_gray[i].dE2000 = dE2000;
            data_gray[i].dEICTCP_240 = dEITP;
        }
        job.store.gray_count = 5;
        job.hdr_gray_pillar_count = 3;
        for (color_t &p : data_check)
            p.dEICTCP_240 = 2.0f;
    }
    // The page built and plotted afresh.
    void render()
    {
        del_pages();
        output_of([this] {
            job.summary = summarize_job(job);
            show_page(pages, PAGE_HDR, job);
            render_page_data(pages, PAGE_HDR, job);
        });
    }
    std::array<color_t, GRAY_MAX> &data_gray = job.store.gray;
    std::array<color_t, CHECK_COUNT> &data_check = job.store.check;
    static canvas_t *slot(int s) { return page_canvases(pages, PAGE_HDR)[s]; }
    static std::vector<Evas_Object *> fills(int s) { return objects(slot(s)->data_list, "rectangle", 42); }
    static std::string value(int s, int i) { return text(objects(slot(s)->data_text_list, nullptr, 42).at(i)); }
};

}  // namespace

TEST_F(HdrOverlay, FillsAndValueLabels)
{
    data_gray[0].c.ts0 = 1.0f;
    data_gray[1].c.ts0 = 0.5f;
    data_gray[1].dE2000 = 1.2345f;
    data_gray[2].c.ts0 = data_gray[2].E_prime = data_gray[2].dE2000 = NAN;
    data_check[4].dEICTCP_240 = 1.2345f;
    data_check[5].dEICTCP_240 = 1e30f;  // beyond any reading: cut to the 50-byte buffer
    render();
    EXPECT_EQ(colour(fills(1)[0]), "255,255,255");
    EXPECT_EQ(colour(fills(1)[1]), "128,128,128");
    EXPECT_EQ(value(0, 1), "<align=center font_size=14> 1.23");
    EXPECT_EQ(value(3, 4), "<align=center font_size=14> 1.235");
    EXPECT_EQ(value(3, 5).size(), 49u);
    // Not a number: a black pillar of height 0 and a point at (0, 0).
    EXPECT_EQ(value(0, 2), "<align=center font_size=14> nan");
    EXPECT_EQ(where(fills(0)[2]), (quad{996, 346, 136, 0}));
    EXPECT_EQ(colour(fills(0)[2]), "0,0,0");
    EXPECT_EQ(where(fills(2)[4]), (quad{1217, 689, 7, 7}));

    // Checker pillars take the PQ colours for a PQ target, else the SDR ones.
    EXPECT_EQ(colour(fills(3).at(0)), "88,72,64");
    EXPECT_EQ(where(fills(3)[0]), (quad{54, 994, 68, 44}));
    job.target.test_type = EOTF_HLG;
    render();
    EXPECT_EQ(colour(fills(3).at(0)), "116,81,67");
}

TEST_F(HdrOverlay, VerdictsFromFreshSumsAndTheLargestDeviation)
{
    // ΔE2000 over the pillars, ΔE ICtCp without patch 0: over nothing, NaN fails.
    for (auto [count, dE2000, dEITP] : {std::tuple{3, "2.0000", "1.5000"}, {1, "1.0000", "nan"}, {0, "nan", "nan"}}) {
        job.hdr_gray_pillar_count = count;
        render();
        EXPECT_EQ(verdict_of(slot(0)).text, std::string("Grayscale Avg dE:  ") + dE2000) << count;
        EXPECT_EQ(verdict_of(slot(0)).pass, count == 1) << count;
        EXPECT_EQ(verdict_of(slot(1)).text, std::string("Grayscale Avg dE:  ") + dEITP) << count;
        EXPECT_EQ(verdict_of(slot(1)).pass, count == 3) << count;
        // Without slots there is no row of ticks to close.
        if (count == 0)
            EXPECT_EQ(slot(0)->x_gap_list, nullptr);
        else
            EXPECT_EQ(where(objects(slot(0)->x_gap_list).back()).a, count == 1 ? 1115 : 1166);
        EXPECT_EQ(objects(slot(2)->data_line_list).size(), 4u);
    }
    // Patch 3, without pillar, is furthest from the curve.
    EXPECT_EQ(verdict_of(slot(2)).text, "EOTF Diff Max:  0.1000");
    EXPECT_FALSE(verdict_of(slot(2)).pass);
    EXPECT_EQ(verdict_of(slot(3)).text, "Color Checker Avg dE:  2.0000");
    EXPECT_TRUE(verdict_of(slot(3)).pass);
}

namespace {

using PageLifecycle = ChartTest;

// Every object on the window's canvas.
size_t canvas_objects()
{
    Eina_List *all = evas_objects_in_rectangle_get(evas_object_evas_get(win), 0, 0, 1920, 1080, EINA_TRUE, EINA_TRUE);
    const size_t n = eina_list_count(all);
    eina_list_free(all);
    return n;
}

}  // namespace

TEST_F(PageLifecycle, DeletedPagesTakeNoOverlayVerdictOrRestyle)
{
    auto &gray = job.store.gray;
    for (int i = 0; i < 5; ++i) {
        gray[i].c.ts0 = i / 4.0f;
        gray[i].E_prime = i / 8.0f;
        gray[i].dE2000 = gray[i].dEICTCP_240 = 1.0f;
    }
    job.store.gray_count = job.hdr_gray_pillar_count = 5;
    job.white.gray_steps = 4;
    job.white.max_E = 0.5f;
    // Both pages with their panels; deleted, nothing of them is left.
    const size_t empty = canvas_objects();
    output_of([this] {
        for (page_id page : {PAGE_SDR, PAGE_HDR})
            draw_page_panel(pages, page, job, "", 0), switch_page(pages, page, job);
    });
    del_pages();
    EXPECT_EQ(canvas_objects(), empty);

    // The data, verdicts and restyles of both reports find no canvas to draw on.
    const size_t before = canvas_objects();
    output_of([this] {
        job.summary = summarize_job(job);
        render_page_data(pages, PAGE_SDR, job);
        change_page_style(pages, PAGE_SDR, STYLE_LIGHT);
        job.target.test_type = EOTF_HLG;
        job.kind = REPORT_HDR;
        job.summary = summarize_job(job);
        render_page_data(pages, PAGE_HDR, job);
        change_page_style(pages, PAGE_HDR, STYLE_LIGHT);
    });
    EXPECT_EQ(canvas_objects(), before);

    // Switching to a deleted page builds it again; it takes them, and a
    // second rendering replaces the first: one curve, one set of pillars and
    // one verdict.
    const std::string out = output_of([this] {
        switch_page(pages, PAGE_HDR, job);
        render_page_data(pages, PAGE_HDR, job);
        render_page_data(pages, PAGE_HDR, job);
    });
    EXPECT_EQ(out.rfind("old_status = -1, new_status = 4\ninit_hdr_page\n", 0), 0u) << out;
    canvas_t *first = page_canvases(pages, PAGE_HDR)[0];
    EXPECT_EQ(verdict_of(first).text, "Grayscale Avg dE:  1.0000");
    EXPECT_EQ(objects(first->data_list, "rectangle", 42).size(), 5u);
    EXPECT_EQ(marks(page_canvases(pages, PAGE_HDR)[HDR_SLOT_EOTF]).size(), 100u);
}
