// The verdicts of a job: one table of limits, and the summary of every
// verdict's value and pass/fail, computed once after the evaluation.
#pragma once
#include <array>
#include <span>
#include <string>
#include <vector>

struct job_t;

enum verdict_id : int {
    SDR_GRAY_DE2000_AVG,
    SDR_TOTAL_GAMMA,
    SDR_GAMUT_DE2000_MAX,
    SDR_CHECKER_DE2000_AVG,
    HDR_GRAY_DE2000_AVG,
    HDR_GRAY_DEICTCP_AVG,
    HDR_EOTF_DIFF_MAX,
    HDR_CHECKER_DEICTCP_AVG,
    VERDICT_COUNT
};

// How the report prints what a verdict compares: the chart's value with four
// decimals ("%0.4f"), the panel's target gamma with three significant digits
// ("%0.3g") and each limit with its row's decimals.
constexpr int VALUE_DECIMALS = 4;
constexpr int TARGET_GAMMA_DIGITS = 3;

struct verdict_limit_t {
    const char *key;      // name of the verdict in the results record
    const char *caption;  // caption of the chart's verdict text
    double limit;         // passes at most this; for the total gamma the tolerance
    int limit_decimals;   // decimals the panel prints the limit with
    bool around_target = false;  // judged by its distance from the target gamma
};

extern const std::array<verdict_limit_t, VERDICT_COUNT> verdict_limits;

struct verdict_t {
    float value;        // NaN when not a number or when nothing was measured
    bool pass;
    bool has_value;     // false: no patch of the chart was measured
};

// The verdicts of one job; only those of its report (SDR or HDR) are judged.
// A verdict whose chart misses a patch, or a job without a white, never passes.
struct job_summary_t {
    bool hdr;
    std::array<verdict_t, VERDICT_COUNT> verdicts;
    std::array<int, VERDICT_COUNT> unmeasured;  // patches of the chart the job did not fill
};

// A value judged against its limit, both as the report prints them, so a
// printed value within the printed limit passes (limits inclusive). A value
// that is not a finite number never passes.
verdict_t judge(verdict_id id, float value, float target_gamma);

// Judges the evaluated patches of the job against its target.
job_summary_t summarize_job(const job_t &job);

// One console warning per chart of the summary with unmeasured patches, also
// kept in `warnings` when given.
void warn_unmeasured(const job_summary_t &summary, std::vector<std::string> *warnings = nullptr);

// The verdicts of the SDR or the HDR report, in the report's order.
std::span<const verdict_id> report_verdicts(bool hdr);

// The job's overall verdict: every verdict of its report passes.
bool job_passes(const job_summary_t &summary);
