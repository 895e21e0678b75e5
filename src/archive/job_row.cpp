#include "archive/job_row.h"

#include <cmath>
#include <limits>

#include "color/reference.h"

namespace {

constexpr float NO_VALUE = std::numeric_limits<float>::quiet_NaN();

void clear_cells(job_row_t &row)
{
    for (verdict_cell_t &c : row.verdicts)
        c = {false, NO_VALUE, false, NO_VALUE};
}

float number_or_nan(const results_json &j)
{
    return j.is_number() ? j.get<float>() : NO_VALUE;
}

}  // namespace

job_row_t job_row(const job_t &job)
{
    job_row_t row;
    clear_cells(row);
    const reference_t &ref = job.target;
    const eotf_row_t *eotf = find_eotf(ref.test_type);
    row.file = utf8_text(job.test_data_file);
    row.hdr = job.kind == REPORT_HDR;
    row.eotf = eotf != nullptr ? eotf->name : "";
    row.color_space = ref.standard.name != nullptr ? ref.standard.name : "";
    row.gamma = std::isfinite(ref.gamma) ? ref.gamma : NO_VALUE;
    for (verdict_id id : report_verdicts(row.hdr)) {
        const verdict_t &v = job.summary.verdicts[id];
        row.verdicts[id] = {true, std::isfinite(v.value) ? v.value : NO_VALUE, v.pass,
                            verdict_limits[id].around_target ? row.gamma : NO_VALUE};
    }
    row.pass = job_passes(job.summary);
    row.data_warning_count = static_cast<int>(job.data_warnings.size());
    if (!job.data_warnings.empty())
        row.first_data_warning = utf8_text(job.data_warnings.front());
    return row;
}

namespace {

bool read_row(const results_json &r, job_row_t &row)
{
    if (!r.is_object() || r.value("format", "") != "analyzer-results" || !r.contains("version") ||
        r["version"] != RESULTS_VERSION)
        return false;
    const std::string report = r.value("report", "");
    if (report != "SDR" && report != "HDR")
        return false;
    const results_json &target = r.contains("target") ? r["target"] : results_json();
    const results_json &verdicts = r.contains("verdicts") ? r["verdicts"] : results_json();
    if (!target.is_object() || !verdicts.is_object() || !r.value("test_data_file", results_json()).is_string())
        return false;
    row.file = r["test_data_file"].get<std::string>();
    row.hdr = report == "HDR";
    row.eotf = target.value("eotf", "");
    row.color_space = target.value("color_space", "");
    row.gamma = number_or_nan(target.value("gamma", results_json()));
    bool all_pass = true;
    for (verdict_id id : report_verdicts(row.hdr)) {
        const verdict_limit_t &limit = verdict_limits[id];
        const results_json &v = verdicts.contains(limit.key) ? verdicts[limit.key] : results_json();
        if (!v.is_object())
            return false;
        // A verdict without a value never passes, whatever the record says.
        const float value = number_or_nan(v.value("value", results_json()));
        const bool pass = v.value("pass", false) && std::isfinite(value);
        all_pass = all_pass && pass;
        row.verdicts[id] = {true, value, pass,
                            limit.around_target ? number_or_nan(v.value("target", results_json())) : NO_VALUE};
    }
    // The record's own pass cannot overrule a failing verdict.
    const results_json pass = r.value("pass", results_json());
    row.pass = (!pass.is_boolean() || pass.get<bool>()) && all_pass;
    const results_json warnings = r.value("data_warnings", results_json::array());
    if (warnings.is_array()) {
        row.data_warning_count = static_cast<int>(warnings.size());
        if (!warnings.empty() && warnings[0].is_string())
            row.first_data_warning = warnings[0].get<std::string>();
    }
    return true;
}

}  // namespace

bool job_row(const results_json &r, job_row_t &row)
{
    row = job_row_t{};
    clear_cells(row);
    // A member of the wrong type (a number for a text, ...) makes no record.
    try {
        return read_row(r, row);
    } catch (const results_json::exception &) {
        return false;
    }
}
