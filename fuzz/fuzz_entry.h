// Entry code shared by the fuzz targets and the hardening tests: one input
// goes through the test data evaluation or through the command line reader,
// and the store is checked for what the drawing code relies on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "config/configure.h"
#include "config/reference.h"
#include "draw/draw_hdr_page.h"
#include "draw/draw_main_win.h"
#include "draw/draw_sdr_page.h"
#include "fuzz_input.h"
#include "measure/measure.h"

namespace fuzz_entry {

// What the charts index by: the counts of the store after a run. Empty when
// they hold, else the first broken rule.
inline std::string check_store(int kind)
{
    if (test_data_gray_count < 0 || test_data_gray_count > GRAY_MAX)
        return "grayscale count " + std::to_string(test_data_gray_count) + " outside 0.." +
               std::to_string(GRAY_MAX);
    if (reference->gray_steps != test_data_gray_count - 1 && test_data_gray_count > 0)
        return "gray_steps " + std::to_string(reference->gray_steps) + " for " +
               std::to_string(test_data_gray_count) + " patches";
    if (kind != 0 && (hdr_gray_pillar_count < 0 || hdr_gray_pillar_count > test_data_gray_count))
        return "HDR pillar count " + std::to_string(hdr_gray_pillar_count) + " for " +
               std::to_string(test_data_gray_count) + " patches";
    return "";
}

// Evaluates the run's store (with its verdict summary) and renders the data
// of a page that does not exist: nothing is drawn.
inline std::string evaluate_and_overlay(int kind)
{
    if (!evaluate_measure(kind))
        return "the test data file could not be opened";
    if (kind == 0)
        render_sdr_chart_data_object();
    else
        render_hdr_chart_data_object();
    return check_store(kind);
}

// Evaluates the run's store and draws it as the report does, on the pages of
// the headless canvas (Elementary initialised, the main window made), in both
// styles; the pages are deleted again so that the next input starts afresh.
inline std::string evaluate_and_draw(int kind)
{
    if (!evaluate_measure(kind))
        return "the test data file could not be opened";
    if (kind == 0) {
        init_sdr_page();
        render_sdr_chart_data_object();
        change_sdr_chart_style(1);
        del_sdr_page();
    } else {
        init_hdr_page();
        render_hdr_chart_data_object();
        change_hdr_chart_style(1);
        del_hdr_page();
    }
    // Deleted objects are freed at the next render; do that without drawing.
    evas_norender(evas_object_evas_get(win));
    return check_store(kind);
}

// Test data: the first byte picks the target, the rest is the file, written
// to `path` and evaluated as the run does (kind 1 for PQ and HLG); drawn too
// when asked.
inline std::string run_test_data(const uint8_t *data, size_t size, const std::string &path, bool draw = false)
{
    if (!fuzz_input::load_test_data(data, size, path))
        return "cannot write " + path;
    const char *saved_path = test_file_path;
    test_file_path = path.c_str();
    const int kind = fuzz_input::report_kind();
    const std::string verdict = draw ? evaluate_and_draw(kind) : evaluate_and_overlay(kind);
    test_file_path = saved_path;
    return verdict;
}

// Command line: the input's lines are the arguments after the program name.
// When the options are accepted, a sample of the chosen EOTF from
// `samples_dir` is evaluated under the configured target.
inline std::string run_command_line(const uint8_t *data, size_t size, const std::string &samples_dir)
{
    if (fuzz_input::configure_from_lines(data, size) != 0)
        return "";
    if (sensor_id < 0 || sensor_id > 8)
        return "sensor id " + std::to_string(sensor_id);
    const std::string sample = fuzz_input::sample_of_eotf(samples_dir);
    if (sample.empty())
        return "EOTF type " + std::to_string(reference->test_type);
    const char *saved_path = test_file_path;
    test_file_path = sample.c_str();
    const std::string verdict = evaluate_and_overlay(fuzz_input::report_kind());
    test_file_path = saved_path;
    return verdict;
}

}  // namespace fuzz_entry
