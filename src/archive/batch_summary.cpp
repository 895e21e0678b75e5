#include "archive/batch_summary.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cmath>
#include <cstdio>

namespace {

constexpr float RANGE_OF_LIMITS = 3.0f;

// Appends printf-formatted text.
[[gnu::format(printf, 2, 3)]] void add(std::string &out, const char *format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

double percent(uint64_t part, uint64_t whole)
{
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

// How far the value lies beyond the pass edge (negative: within).
float beyond_limit(verdict_id id, float x)
{
    const float limit = static_cast<float>(verdict_limits[id].limit);
    return verdict_limits[id].around_target ? std::fabs(x) - limit : x - limit;
}

void add_to_histogram(histogram_t &h, float x, bool pass)
{
    if (x < h.low) {
        ++h.below;
        return;
    }
    const float bin = (x - h.low) / (h.high - h.low) * HISTOGRAM_BINS;
    if (bin >= HISTOGRAM_BINS) {
        ++h.above;
        return;
    }
    ++h.bins[static_cast<size_t>(bin)];
    h.passed[static_cast<size_t>(bin)] += pass ? 1 : 0;
}

}  // namespace

batch_summary_t::batch_summary_t()
{
    for (int id = 0; id < VERDICT_COUNT; ++id) {
        const verdict_limit_t &l = verdict_limits[id];
        const float span = RANGE_OF_LIMITS * static_cast<float>(l.limit);
        verdicts[id].histogram.low = l.around_target ? -span : 0.0f;
        verdicts[id].histogram.high = span;
    }
}

std::string verdict_name(verdict_id id)
{
    return std::string(id >= HDR_GRAY_DE2000_AVG ? "HDR " : "SDR ") + verdict_limits[id].key;
}

float histogram_value(verdict_id id, const verdict_cell_t &cell)
{
    return verdict_limits[id].around_target ? cell.value - cell.target : cell.value;
}

void add_job(batch_summary_t &s, const job_row_t &row)
{
    ++s.jobs;
    s.passed += row.pass ? 1 : 0;
    for (verdict_id id : report_verdicts(row.hdr)) {
        const verdict_cell_t &c = row.verdicts[id];
        verdict_stats_t &v = s.verdicts[id];
        ++v.jobs;
        v.failed += c.pass ? 0 : 1;
        const float x = histogram_value(id, c);
        if (!std::isfinite(x)) {
            ++v.no_value;
            continue;
        }
        add_to_histogram(v.histogram, x, c.pass);
        const float distance = beyond_limit(id, x);
        // The first value, then the one farthest beyond the limit; the
        // earlier of equal ones.
        if (v.jobs - v.no_value == 1 || distance > v.worst_distance) {
            v.worst_distance = distance;
            v.worst = c.value;
            v.worst_file = row.file;
        }
    }
    pass_count_t &t = s.targets[row.eotf + " " + row.color_space];
    ++t.jobs;
    t.passed += row.pass ? 1 : 0;
    if (row.data_warning_count > 0) {
        ++s.warned;
        if (s.warned_listed.size() < WARNED_JOBS_LISTED)
            s.warned_listed.push_back({row.file, row.data_warning_count, row.first_data_warning});
    }
}

std::string summary_text(const batch_summary_t &s)
{
    std::string out;
    add(out, "Jobs: %" PRIu64 ", passed %" PRIu64 " (%.1f %%), failed %" PRIu64 "\n\n", s.jobs, s.passed,
        percent(s.passed, s.jobs), s.jobs - s.passed);

    add(out, "%-28s %7s %7s %9s %10s  %s\n", "Verdict", "jobs", "failed", "no value", "worst", "file of the worst");
    for (int id = 0; id < VERDICT_COUNT; ++id) {
        const verdict_stats_t &v = s.verdicts[id];
        if (v.jobs == 0)
            continue;
        const bool has_worst = v.jobs > v.no_value;
        char worst[32] = "--";
        if (has_worst)
            snprintf(worst, sizeof worst, "%0.4f", static_cast<double>(v.worst));
        add(out, "%-28s %7" PRIu64 " %7" PRIu64 " %9" PRIu64 " %10s  %s\n",
            verdict_name(static_cast<verdict_id>(id)).c_str(), v.jobs, v.failed, v.no_value, worst,
            has_worst ? v.worst_file.c_str() : "");
    }

    add(out, "\n%-28s %7s %7s %10s\n", "Target (EOTF, colour space)", "jobs", "passed", "pass rate");
    for (const auto &[name, t] : s.targets)
        add(out, "%-28s %7" PRIu64 " %7" PRIu64 " %8.1f %%\n", name.c_str(), t.jobs, t.passed,
            percent(t.passed, t.jobs));

    add(out, "\nJobs whose data carried warnings: %" PRIu64 "\n", s.warned);
    for (const warned_job_t &w : s.warned_listed)
        add(out, "  %s: %d, first: %s\n", w.file.c_str(), w.count, w.first.c_str());
    if (s.warned > s.warned_listed.size())
        add(out, "  ... and %" PRIu64 " more\n", s.warned - s.warned_listed.size());
    return out;
}

results_json summary_json(const batch_summary_t &s)
{
    results_json verdicts = results_json::array();
    for (const verdict_stats_t &v : s.verdicts)
        verdicts.push_back({{"jobs", v.jobs}, {"failed", v.failed}, {"no_value", v.no_value}, {"worst", v.worst},
                            {"worst_file", v.worst_file}, {"bins", v.histogram.bins}, {"passed", v.histogram.passed},
                            {"below", v.histogram.below}, {"above", v.histogram.above}});
    results_json targets = results_json::object();
    for (const auto &[name, t] : s.targets)
        targets[name] = {t.jobs, t.passed};
    return {{"jobs", s.jobs}, {"passed", s.passed}, {"warned", s.warned}, {"verdicts", std::move(verdicts)},
            {"targets", std::move(targets)}};
}

bool summary_from_json(const results_json &j, batch_summary_t &s)
{
    s = batch_summary_t{};
    try {
        s.jobs = j.at("jobs").get<uint64_t>();
        s.passed = j.at("passed").get<uint64_t>();
        s.warned = j.at("warned").get<uint64_t>();
        const results_json &verdicts = j.at("verdicts");
        if (verdicts.size() != VERDICT_COUNT)
            return false;
        for (size_t id = 0; id < VERDICT_COUNT; ++id) {
            const results_json &e = verdicts[id];
            verdict_stats_t &v = s.verdicts[id];
            v.jobs = e.at("jobs").get<uint64_t>();
            v.failed = e.at("failed").get<uint64_t>();
            v.no_value = e.at("no_value").get<uint64_t>();
            v.worst = e.at("worst").is_number() ? e["worst"].get<float>() : NAN;
            v.worst_file = e.at("worst_file").get<std::string>();
            v.histogram.bins = e.at("bins").get<std::array<uint64_t, HISTOGRAM_BINS>>();
            v.histogram.passed = e.at("passed").get<std::array<uint64_t, HISTOGRAM_BINS>>();
            v.histogram.below = e.at("below").get<uint64_t>();
            v.histogram.above = e.at("above").get<uint64_t>();
        }
        for (const auto &[name, t] : j.at("targets").items())
            s.targets[name] = {t.at(0).get<uint64_t>(), t.at(1).get<uint64_t>()};
    } catch (const std::exception &) {
        return false;
    }
    return true;
}
