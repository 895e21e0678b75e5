// The summary of many jobs as one report page: beside the logo, the counts
// and the pass rate per target; a chart of every verdict's pass rate; and per
// verdict the spread of its values against its limit.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "archive/batch_summary.h"
#include "draw/draw_bg.h"

// The page's charts, in drawing order: the pass rates first, then one
// histogram per verdict that any job has, in verdict order.
struct summary_page_t {
    canvas_t *pass_rates = nullptr;
    std::vector<verdict_id> shown;      // the verdicts with jobs
    std::vector<canvas_t *> histograms;  // one per shown verdict
    std::deque<std::string> texts;       // chart titles, alive as long as the page
};

void draw_summary_page(summary_page_t &page, const batch_summary_t &s);
void del_summary_page(summary_page_t &page);

// The top of a count scale divided into four rows: 4, 8, 20, 40, 80, 200, ...
// the first that reaches `count`.
uint64_t count_scale_max(uint64_t count);
