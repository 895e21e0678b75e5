// Entry code shared by the fuzz targets and the hardening tests: one input
// goes through the test data evaluation or through the command line reader,
// and the job is checked for what the drawing code relies on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "color/reference.h"
#include "config/configure.h"
#include "draw/draw_main_win.h"
#include "fuzz_input.h"
#include "measure/measure.h"
#include "report/report_page.h"

namespace fuzz_entry {

// What the charts index by: the counts of the job. Empty when they hold,
// else the first broken rule.
inline std::string check_job(const job_t &job)
{
    const int n = job.store.gray_count;
    if (n < 0 || n > GRAY_MAX)
        return "grayscale count " + std::to_string(n) + " outside 0.." + std::to_string(GRAY_MAX);
    if (job.white.gray_steps != n - 1 && n > 0)
        return "gray_steps " + std::to_string(job.white.gray_steps) + " for " + std::to_string(n) + " patches";
    if (job.kind == REPORT_HDR && (job.hdr_gray_pillar_count < 0 || job.hdr_gray_pillar_count > n))
        return "HDR pillar count " + std::to_string(job.hdr_gray_pillar_count) + " for " + std::to_string(n) +
               " patches";
    return "";
}

// Evaluates the job and renders its data on a page that does not exist:
// nothing is drawn.
inline std::string evaluate_and_overlay(const reference_t &target, const char *path)
{
    const job_t job = evaluate(target, path);
    if (!job.evaluated)
        return "the test data file could not be opened";
    report_pages_t pages;
    render_page_data(pages, report_page(job), job);
    return check_job(job);
}

// Evaluates the job and draws it as the report does, on the page of the
// headless canvas (Elementary initialised, the main window made), in both
// styles; the page is deleted again so that the next input starts afresh.
inline std::string evaluate_and_draw(const reference_t &target, const char *path)
{
    const job_t job = evaluate(target, path);
    if (!job.evaluated)
        return "the test data file could not be opened";
    const page_id page = report_page(job);
    report_pages_t pages;
    show_page(pages, page, job);
    render_page_data(pages, page, job);
    change_page_style(pages, page, STYLE_LIGHT);
    del_page(pages, page);
    // Deleted objects are freed at the next render; do that without drawing.
    evas_norender(evas_object_evas_get(win));
    return check_job(job);
}

// Test data: the first byte picks the target, the rest is the file, written
// to `path` and evaluated as the run does; drawn too when asked.
inline std::string run_test_data(const uint8_t *data, size_t size, const std::string &path, bool draw = false)
{
    reference_t target{};
    if (!fuzz_input::load_test_data(data, size, path, target))
        return "cannot write " + path;
    return draw ? evaluate_and_draw(target, path.c_str()) : evaluate_and_overlay(target, path.c_str());
}

// Command line: the input's lines are the arguments after the program name.
// When the options are accepted, a sample of the chosen EOTF from
// `samples_dir` is evaluated under the configured target.
inline std::string run_command_line(const uint8_t *data, size_t size, const std::string &samples_dir)
{
    settings_t settings;
    if (fuzz_input::configure_from_lines(data, size, settings) != 0)
        return "";
    if (settings.sensor_id < 0 || settings.sensor_id > 8)
        return "sensor id " + std::to_string(settings.sensor_id);
    const std::string sample = fuzz_input::sample_of_eotf(settings.target, samples_dir);
    if (sample.empty())
        return "EOTF type " + std::to_string(static_cast<int>(settings.target.test_type));
    return evaluate_and_overlay(settings.target, sample.c_str());
}

}  // namespace fuzz_entry
