#include "measure/verdict.h"

#include <cmath>
#include <limits>

#include "config/reference.h"
#include "measure/measure.h"

const std::array<verdict_limit_t, VERDICT_COUNT> verdict_limits = {{
    {"grayscale_dE2000_avg", "Grayscale Avg dE: ", 1.5, false},
    {"total_gamma", "Total Gamma : ", 0.1, true},
    {"gamut_dE2000_max", "dE 2000 Max: ", 2.5, false},
    {"checker_dE2000_avg", "Color Checker Avg dE: ", 1.5, false},
    {"grayscale_dE2000_avg", "Grayscale Avg dE: ", 1.5, false},
    {"grayscale_dEICTCP_avg", "Grayscale Avg dE: ", 2.0, false},
    {"eotf_diff_max", "EOTF Diff Max: ", 0.05, false},
    {"checker_dEICTCP_avg", "Color Checker Avg dE: ", 2.0, false},
}};

job_summary_t job_summary{};

namespace {

constexpr double SIGNAL_EPS = 1e-7;

// sum / count in single precision, NaN when nothing was counted.
float average(float sum, int count)
{
    if (count <= 0)
        return std::numeric_limits<float>::quiet_NaN();
    return sum / static_cast<float>(count);
}

void summarize_sdr(const reference_t &ref, job_summary_t &s)
{
    const int n = test_data_gray_count;
    float sum_dE = 0.0f;
    float sum_gamma = 0.0f;
    int count_gamma = 0;
    for (int i = 0; i < n; ++i) {
        const color_t &p = data_gray[i];
        sum_dE += p.dE2000;
        // The total gamma averages the patches strictly between black and
        // full signal: the estimators have no meaningful gamma at either end.
        const double signal = p.c.ts0;
        if (signal > SIGNAL_EPS && 1.0 - signal > SIGNAL_EPS) {
            sum_gamma += p.gamma;
            ++count_gamma;
        }
    }
    float max_gamut = 0.0f;
    for (const color_t &p : data_gamut) {
        if (p.dE2000 > max_gamut)
            max_gamut = p.dE2000;
    }
    float sum_checker = 0.0f;
    for (const color_t &p : data_check)
        sum_checker += p.dE2000;

    s.verdicts[SDR_GRAY_DE2000_AVG] = judge(SDR_GRAY_DE2000_AVG, average(sum_dE, n), ref.gamma);
    s.verdicts[SDR_TOTAL_GAMMA] = judge(SDR_TOTAL_GAMMA, average(sum_gamma, count_gamma), ref.gamma);
    s.verdicts[SDR_GAMUT_DE2000_MAX] = judge(SDR_GAMUT_DE2000_MAX, max_gamut, ref.gamma);
    s.verdicts[SDR_CHECKER_DE2000_AVG] =
        judge(SDR_CHECKER_DE2000_AVG, sum_checker / static_cast<float>(CHECK_COUNT), ref.gamma);
}

void summarize_hdr(const reference_t &ref, job_summary_t &s)
{
    const int n = hdr_gray_pillar_count;
    float sum_dE2000 = 0.0f;
    float sum_dEITP = 0.0f;
    float max_diff = 0.0f;
    for (int i = 0; i < test_data_gray_count; ++i) {
        const color_t &p = data_gray[i];
        // Patches at or above the PQ clip have no pillar and no average; the
        // first patch (the black) does not count for ΔE ICtCp.
        if (i < n) {
            sum_dE2000 += p.dE2000;
            if (i != 0)
                sum_dEITP += p.dEICTCP_240;
        }
        const float d = get_diff_EOTF(ref, p.c.ts0, p.E_prime);
        if (d > max_diff)
            max_diff = d;
    }
    float sum_checker = 0.0f;
    for (const color_t &p : data_check)
        sum_checker += p.dEICTCP_240;

    s.verdicts[HDR_GRAY_DE2000_AVG] = judge(HDR_GRAY_DE2000_AVG, average(sum_dE2000, n), ref.gamma);
    s.verdicts[HDR_GRAY_DEICTCP_AVG] = judge(HDR_GRAY_DEICTCP_AVG, average(sum_dEITP, n - 1), ref.gamma);
    s.verdicts[HDR_EOTF_DIFF_MAX] = judge(HDR_EOTF_DIFF_MAX, max_diff, ref.gamma);
    s.verdicts[HDR_CHECKER_DEICTCP_AVG] =
        judge(HDR_CHECKER_DEICTCP_AVG, sum_checker / static_cast<float>(CHECK_COUNT), ref.gamma);
}

}  // namespace

verdict_t judge(verdict_id id, float value, float target_gamma)
{
    const verdict_limit_t &l = verdict_limits[id];
    const double v = value;
    bool pass = false;
    if (l.around_target) {
        const double target = target_gamma;
        pass = target - l.limit <= v && v <= target + l.limit;
    } else {
        pass = v <= l.limit;
    }
    return {value, pass};
}

job_summary_t summarize_job(const reference_t &ref, int kind)
{
    job_summary_t s{};
    s.hdr = kind != 0;
    for (verdict_t &v : s.verdicts)
        v = {std::numeric_limits<float>::quiet_NaN(), false};
    if (s.hdr)
        summarize_hdr(ref, s);
    else
        summarize_sdr(ref, s);
    return s;
}
