// The summary of a batch of jobs, gathered one job at a time in fixed memory:
// how many passed, per verdict how many failed with the worst value and its
// file and the spread of the values, per target the pass rate, and the jobs
// whose data carried warnings (the first few by name).
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "archive/job_row.h"

inline constexpr int HISTOGRAM_BINS = 60;
inline constexpr size_t WARNED_JOBS_LISTED = 10;

// The values of one verdict over a fixed range around its limit: for a
// verdict with a limit 0 to three times the limit, for the total gamma the
// distance from the target within three tolerances either way.
struct histogram_t {
    float low = 0.0f, high = 0.0f;
    std::array<uint64_t, HISTOGRAM_BINS> bins{};
    std::array<uint64_t, HISTOGRAM_BINS> passed{};  // of them the jobs that passed
    uint64_t below = 0, above = 0;  // outside the range
};

struct verdict_stats_t {
    uint64_t jobs = 0, failed = 0, no_value = 0;
    float worst = 0.0f;  // the value farthest beyond (or least within) the limit
    float worst_distance = 0.0f;
    std::string worst_file;
    histogram_t histogram;
};

struct pass_count_t {
    uint64_t jobs = 0, passed = 0;
};

struct warned_job_t {
    std::string file;
    int count;
    std::string first;
};

struct batch_summary_t {
    uint64_t jobs = 0, passed = 0;
    std::array<verdict_stats_t, VERDICT_COUNT> verdicts;
    std::map<std::string, pass_count_t> targets;  // by "EOTF colour space"
    uint64_t warned = 0;
    std::vector<warned_job_t> warned_listed;  // the first WARNED_JOBS_LISTED
    batch_summary_t();
};

// The histogram's x value of a verdict's value: the distance from the target
// for the total gamma, the value itself otherwise.
float histogram_value(verdict_id id, const verdict_cell_t &cell);

void add_job(batch_summary_t &s, const job_row_t &row);

// The summary as a person reads it in a terminal, numbers in columns.
std::string summary_text(const batch_summary_t &s);

// The summary as JSON and back, to hand it to the program that draws it;
// reading fails (false) on anything else.
results_json summary_json(const batch_summary_t &s);
bool summary_from_json(const results_json &j, batch_summary_t &s);

// A verdict's name in the summary: its report and record name.
std::string verdict_name(verdict_id id);
