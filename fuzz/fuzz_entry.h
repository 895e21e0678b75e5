// Entry code shared by the fuzz targets and the hardening tests: one input
// goes through the test data evaluation or through the command line reader,
// and the job is checked for what the drawing code relies on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/capture.h"
#include "app/results_file.h"
#include "color/reference.h"
#include "config/configure.h"
#include "draw/draw_main_win.h"
#include "fuzz_input.h"
#include "measure/measure.h"
#include "measure/results.h"
#include "report/report_page.h"

namespace fuzz_entry {

// Ends the fuzzing run with the broken check's reason, so that libFuzzer
// keeps the input; returns 0 (what a target returns) when nothing broke.
inline int stop_if_broken(const std::string &broken, const char *what = "check")
{
    if (broken.empty())
        return 0;
    fprintf(stderr, "%s failed: %s\n", what, broken.c_str());
    abort();
}

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

// Record: the first byte picks the target (and the sensor) of a sample's
// job; the input's lines are the test data file's name, the serial number
// and the warnings. The record is written as 1.json and into a PNG's text
// chunk, and 1.json read back: it names the file as written.
inline std::string run_record(const uint8_t *data, size_t size, const std::string &samples_dir)
{
    const uint8_t pick = size > 0 ? data[0] : 0;
    static std::map<uint8_t, job_t> jobs;
    if (!jobs.contains(pick)) {
        const reference_t target = fuzz_input::target_of(pick);
        jobs[pick] = evaluate(target, fuzz_input::sample_of_eotf(target, samples_dir).c_str());
    }
    job_t job = jobs[pick];
    std::vector<std::string> lines(2);
    for (size_t i = 1; i < size && lines.size() < 16; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += static_cast<char>(data[i]);
    }
    job.test_data_file = lines[0];
    const std::vector<std::string> warnings(lines.begin() + 2, lines.end());
    const std::string text = run_results_json(job, lines[1], pick % 12, warnings, 2);
    const auto record = results_json::parse(text, nullptr, false);
    if (!record.is_object() || record["test_data_file"] != utf8_text(lines[0]))
        return "1.json does not read back";
    char *png = nullptr;
    size_t png_size = 0;
    FILE *fp = open_memstream(&png, &png_size);
    const uint32_t pixel = 0xff336699;
    const bool written = fp != nullptr && write_png(fp, reinterpret_cast<const uint8_t *>(&pixel), 1, 1, 4, ARGB32,
                                                    run_results_json(job, lines[1], pick % 12, warnings));
    if (fp != nullptr)
        fclose(fp);
    free(png);
    return written ? "" : "the PNG with the record could not be written";
}

}  // namespace fuzz_entry
