#include "summary/draw_summary_page.h"

#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "draw/draw_basic.h"
#include "draw/draw_delete.h"
#include "draw/draw_logo.h"
#include "draw/draw_main_win.h"
#include "draw/images.h"

namespace {

constexpr int PAGE_LEFT = 520, PAGE_RIGHT = 1900;
constexpr plot_t PASS_RATE_PLOT = {PAGE_LEFT, 60, 1380.0f, 250.0f};
constexpr int HISTOGRAM_TOP = 410, HISTOGRAM_BOTTOM = 1040;
constexpr int CHART_GAP = 20, TITLE_BAR = 40, AXIS_TEXT = 30;
constexpr int COLUMNS = 4;
// The verdict lines at the top of a histogram and its axis labels at the bottom.
constexpr int TEXT_ABOVE = 46, TEXT_BELOW = 18;
constexpr uint8_t PASS_GREEN[3] = {0, 180, 0}, FAIL_RED[3] = {200, 40, 40};

// The verdicts' names on the page, short enough for a narrow title bar.
constexpr const char *VERDICT_TITLES[VERDICT_COUNT] = {
    "SDR Gray Avg dE",     "SDR Total Gamma",      "SDR Gamut Max dE",  "SDR Checker Avg dE",
    "HDR Gray Avg dE2000", "HDR Gray Avg dEICTCP", "HDR EOTF Diff Max", "HDR Checker dEICTCP",
};

double percent(uint64_t part, uint64_t whole)
{
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

const char *keep(summary_page_t &page, const char *format, ...) __attribute__((format(printf, 2, 3)));
const char *keep(summary_page_t &page, const char *format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    page.texts.emplace_back(text);
    return page.texts.back().c_str();
}

// Beside the logo: the batch in numbers and the pass rate per target.
void draw_counts(summary_page_t &page, const batch_summary_t &s)
{
    int y = 260;
    auto row = [&](const char *caption, const char *value) {
        add_label(keep(page, "<font_size=16 align=left>%s", caption), 40, y, 300, 24, LAYER_BG);
        add_label(keep(page, "<font_size=16 align=right>%s", value), 240, y, 240, 24, LAYER_BG);
        y += 28;
    };
    row("Jobs:", keep(page, "%" PRIu64, s.jobs));
    row("Passed:", keep(page, "%" PRIu64 " (%.1f %%)", s.passed, percent(s.passed, s.jobs)));
    row("Failed:", keep(page, "%" PRIu64, s.jobs - s.passed));
    row("With data warnings:", keep(page, "%" PRIu64, s.warned));
    y += 28;
    row("Pass rate per target", "");
    constexpr size_t TARGETS_SHOWN = 20;
    size_t n = 0;
    for (const auto &[name, t] : s.targets) {
        if (n++ == TARGETS_SHOWN) {
            row(keep(page, "... %zu more", s.targets.size() - TARGETS_SHOWN), "");
            break;
        }
        // The name comes from the records: shown as text, not read as markup.
        char *shown = elm_entry_utf8_to_markup(name.c_str());
        row(shown != nullptr ? shown : "", keep(page, "%.1f %% of %" PRIu64, percent(t.passed, t.jobs), t.jobs));
        free(shown);
    }
}

chart_def_t frame(const plot_t &p, const char *text, label_t left, label_t down, uint8_t x_grid, uint8_t y_grid)
{
    return {.plot = p,
            .x_grid_count = x_grid,
            .y_grid_count = y_grid,
            .title_width = static_cast<int32_t>(p.width),
            .icon = image_path[IMAGE_ICON_DE],
            .text = text,
            .left = left,
            .down = down};
}

// Per verdict a bar: green up to its pass rate, red above it.
canvas_t *draw_pass_rates(summary_page_t &page, const batch_summary_t &s)
{
    const plot_t &p = PASS_RATE_PLOT;
    canvas_t *c = build_chart_canvas(frame(p, "Pass rate per verdict (%)", {.max = 100.0f, .step = 20.0f, .digits = 3},
                                           {.max = 1.0f, .step = 1.0f, .digits = 3}, 1, 5));
    if (c == nullptr)
        return nullptr;
    const int n = static_cast<int>(page.shown.size());
    const float slot = p.width / static_cast<float>(n > 0 ? n : 1);
    const int bottom = plot_bottom(p);
    for (int i = 0; i < n; ++i) {
        const verdict_stats_t &v = s.verdicts[page.shown[i]];
        const double rate = percent(v.jobs - v.failed, v.jobs);
        const int x = px_round(p.x + slot * (i + 0.2f));
        const int w = px_round(slot * 0.6f);
        const int pass_h = px_round(rate / 100.0 * p.height);
        const int top = bottom - pass_h;
        draw_rect(c, FAIL_RED[0], FAIL_RED[1], FAIL_RED[2], x, px_round(p.y), w, top - p.y, LAYER_DATA_BAR);
        draw_pillar(c, x, top, w, pass_h, PASS_GREEN,
                    keep(page, "<align=center font_size=14>%.1f %%", rate), rate > 90 ? -4 : 20);
        draw_x_tick_label(c, keep(page, "<align=center font_size=12>%s", VERDICT_TITLES[page.shown[i]]),
                          px_round(p.x + slot * i), bottom + 4, px_round(slot), 18);
    }
    return c;
}

// The histogram of one verdict's values: a bar per bin, green within the
// limit and red beyond, the limit drawn as a line.
canvas_t *draw_histogram(summary_page_t &page, const batch_summary_t &s, verdict_id id, const plot_t &p)
{
    const verdict_stats_t &v = s.verdicts[id];
    const verdict_limit_t &l = verdict_limits[id];
    const histogram_t &h = v.histogram;
    uint64_t highest = 0;
    for (uint64_t b : h.bins)
        highest = b > highest ? b : highest;
    // The top of the scale leaves the verdict lines at the top of the plot
    // clear of the bars.
    const uint64_t top =
        count_scale_max(static_cast<uint64_t>(std::ceil(highest * p.height / (p.height - TEXT_ABOVE))));
    // A grid label holds four digits: larger counts are labelled in thousands.
    const uint64_t unit = top >= 10000 ? 1000 : 1;
    const float top_label = static_cast<float>(top / unit);
    canvas_t *c = build_chart_canvas(frame(p, VERDICT_TITLES[id], {.max = top_label, .step = top_label / 4, .digits = 7},
                                           {.max = h.high, .step = (h.high - h.low) / 3, .digits = 3}, 3, 4));
    if (c == nullptr)
        return nullptr;
    const float bin_w = p.width / HISTOGRAM_BINS;
    const int bottom = plot_bottom(p);
    for (int i = 0; i < HISTOGRAM_BINS; ++i) {
        if (h.bins[i] == 0)
            continue;
        // The jobs that passed in green, those that failed above them in
        // red; every job counts, a bin of one is a pixel high at least.
        const int bar_h = std::max(1, px_round(static_cast<double>(h.bins[i]) / top * p.height));
        const int pass_h = px_round(static_cast<double>(h.passed[i]) / h.bins[i] * bar_h);
        const int x0 = px_round(p.x + bin_w * i), x1 = px_round(p.x + bin_w * (i + 1));
        const int w = std::max(1, x1 - x0 - 1);
        draw_rect(c, PASS_GREEN[0], PASS_GREEN[1], PASS_GREEN[2], x0, bottom - pass_h, w, pass_h, LAYER_DATA_BAR);
        draw_rect(c, FAIL_RED[0], FAIL_RED[1], FAIL_RED[2], x0, bottom - bar_h, w, bar_h - pass_h, LAYER_DATA_BAR);
    }
    // The limits, bright over the bars.
    for (float edge : {l.around_target ? -static_cast<float>(l.limit) : NAN, static_cast<float>(l.limit)}) {
        if (std::isnan(edge))
            continue;
        const int x = px_round(p.x + (edge - h.low) / (h.high - h.low) * p.width);
        // Clear of the verdict lines above and the axis labels below.
        draw_rect(c, 255, 200, 0, x - 1, p.y + TEXT_ABOVE, 2, px_round(p.height) - TEXT_ABOVE - TEXT_BELOW,
                  LAYER_DATA_BAR);
    }
    // The axis numbers stay readable where bars reach them.
    for (Eina_List *l = c->x_y_text_list; l != nullptr; l = eina_list_next(l)) {
        auto *label = static_cast<Evas_Object *>(eina_list_data_get(l));
        evas_object_layer_set(label, LAYER_DATA_BAR);
        evas_object_raise(label);
    }
    const char *limit = l.around_target ? keep(page, "target %s %.1f", "\xC2\xB1", l.limit)
                                        : keep(page, "%s %.2g", "\xE2\x89\xA4", l.limit);
    draw_test_result_text(c, keep(page, "<font_size=16 align=right>%s: %" PRIu64 " of %" PRIu64 " fail", limit,
                                  v.failed, v.jobs));
    // What the bars cannot show: the worst value, values beyond the scale,
    // jobs without a value; and the unit of the counts.
    std::string detail;
    auto add_detail = [&](const char *text) { detail += (detail.empty() ? "" : ", ") + std::string(text); };
    if (v.jobs > v.no_value)
        add_detail(keep(page, "worst %0.4f", static_cast<double>(v.worst)));
    if (h.below + h.above > 0)
        add_detail(keep(page, "off scale %" PRIu64, h.below + h.above));
    if (v.no_value > 0)
        add_detail(keep(page, "no value %" PRIu64, v.no_value));
    if (unit > 1)
        add_detail("jobs in 1000s");
    Evas_Object *more = add_label(keep(page, "<font_size=14 align=right>%s", detail.c_str()), c->x - 5, c->y + 24,
                                  static_cast<int>(p.width), 20, LAYER_GRID);
    if (more != nullptr)
        file_by_layer(c, more, LAYER_GRID);
    draw_test_result_img(c, v.failed == 0 ? 1 : 0);
    return c;
}

}  // namespace

uint64_t count_scale_max(uint64_t count)
{
    uint64_t decade = 1;
    for (;;) {
        for (uint64_t m : {4, 8, 20, 40, 80})
            if (m * decade >= count)
                return m * decade;
        decade *= 10;
    }
}

void draw_summary_page(summary_page_t &page, const batch_summary_t &s)
{
    canvas_freeze frozen;
    draw_logo_and_title();
    draw_counts(page, s);
    for (int id = 0; id < VERDICT_COUNT; ++id)
        if (s.verdicts[id].jobs > 0)
            page.shown.push_back(static_cast<verdict_id>(id));
    page.pass_rates = draw_pass_rates(page, s);

    const int n = static_cast<int>(page.shown.size());
    const int columns = n < COLUMNS ? (n > 0 ? n : 1) : COLUMNS;
    const int rows = (n + columns - 1) / columns;
    const float width = static_cast<float>(PAGE_RIGHT - PAGE_LEFT - (columns - 1) * CHART_GAP) / columns;
    const float height =
        static_cast<float>(HISTOGRAM_BOTTOM - HISTOGRAM_TOP - rows * (TITLE_BAR + AXIS_TEXT)) / (rows > 0 ? rows : 1);
    for (int i = 0; i < n; ++i) {
        const int col = i % columns, row = i / columns;
        const plot_t p = {px_round(PAGE_LEFT + col * (width + CHART_GAP)),
                          px_round(HISTOGRAM_TOP + TITLE_BAR + row * (height + TITLE_BAR + AXIS_TEXT)),
                          std::floor(width), std::floor(height)};
        page.histograms.push_back(draw_histogram(page, s, page.shown[i], p));
    }
}

void del_summary_page(summary_page_t &page)
{
    canvas_freeze frozen;
    for (canvas_t *c : page.histograms) {
        del_canvas(c);
        free(c);
    }
    page.histograms.clear();
    del_canvas(page.pass_rates);
    free(page.pass_rates);
    page.pass_rates = nullptr;
}
