#include "measure/verdict.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "color/reference.h"
#include "measure/console.h"
#include "measure/measure.h"

const std::array<verdict_limit_t, VERDICT_COUNT> verdict_limits = {{
    {.key = "grayscale_dE2000_avg", .caption = "Grayscale Avg dE: ", .limit = 1.5, .limit_decimals = 1},
    {.key = "total_gamma", .caption = "Total Gamma : ", .limit = 0.1, .limit_decimals = 1, .around_target = true},
    {.key = "gamut_dE2000_max", .caption = "dE 2000 Max: ", .limit = 2.5, .limit_decimals = 1},
    {.key = "checker_dE2000_avg", .caption = "Color Checker Avg dE: ", .limit = 1.5, .limit_decimals = 1},
    {.key = "grayscale_dE2000_avg", .caption = "Grayscale Avg dE: ", .limit = 1.5, .limit_decimals = 1},
    {.key = "grayscale_dEICTCP_avg", .caption = "Grayscale Avg dE: ", .limit = 2.0, .limit_decimals = 1},
    {.key = "eotf_diff_max", .caption = "EOTF Diff Max: ", .limit = 0.05, .limit_decimals = 2},
    {.key = "checker_dEICTCP_avg", .caption = "Color Checker Avg dE: ", .limit = 2.0, .limit_decimals = 1},
}};

namespace {

constexpr double SIGNAL_EPS = 1e-7;
constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

// A finite number as printf prints it with the given style and precision
// (to_chars rounds the same way, whatever the locale), in units of 1e-4, the
// last digit of a printed value. Magnitudes far beyond every limit are
// clamped first, which keeps them on the same side of it.
long long printed_units(double v, std::chars_format style, int precision)
{
    constexpr double FAR = 1e9;
    v = std::clamp(v, -FAR, FAR);
    std::array<char, 64> text{};
    const char *end = std::to_chars(text.data(), text.data() + text.size(), v, style, precision).ptr;
    double printed = 0.0;
    std::from_chars(text.data(), end, printed);
    return std::llround(printed * 1e4);
}

// sum / count in single precision, NaN when nothing was counted.
float average(float sum, int count)
{
    if (count <= 0)
        return NOT_A_NUMBER;
    return sum / static_cast<float>(count);
}

// The larger of the two; a NaN on either side makes the maximum NaN.
float nan_max(float max, float v)
{
    if (std::isnan(max) || std::isnan(v))
        return NOT_A_NUMBER;
    return v > max ? v : max;
}

// A chart of fixed slots, judged over the slots the job filled: any missing
// slot fails it, and with none filled it has no value at all.
struct slot_figures_t {
    float sum = 0.0f;
    float max = 0.0f;
    int measured = 0;
    int missing = 0;
};

template <size_t N>
slot_figures_t slot_figures(const std::array<color_t, N> &patches, const std::array<bool, N> &filled,
                            float color_t::*field)
{
    slot_figures_t f;
    for (size_t i = 0; i < N; ++i) {
        if (!filled[i]) {
            ++f.missing;
            continue;
        }
        const float v = patches[i].*field;
        f.sum += v;
        f.max = nan_max(f.max, v);
        ++f.measured;
    }
    return f;
}

void set_slot_verdict(job_summary_t &s, verdict_id id, const slot_figures_t &f, float value, float gamma)
{
    s.unmeasured[id] = f.missing;
    if (f.measured == 0) {
        s.verdicts[id] = {NOT_A_NUMBER, false, false};
        return;
    }
    s.verdicts[id] = judge(id, value, gamma);
    if (f.missing > 0)
        s.verdicts[id].pass = false;
}

void summarize_sdr(const job_t &job, job_summary_t &s)
{
    const reference_t &ref = job.target;
    const patch_store_t &store = job.store;
    const int n = store.gray_count;
    float sum_dE = 0.0f;
    float sum_gamma = 0.0f;
    int count_gamma = 0;
    for (int i = 0; i < n; ++i) {
        const color_t &p = store.gray[i];
        sum_dE += p.dE2000;
        // The total gamma averages the patches strictly between black and
        // full signal: the estimators have no meaningful gamma at either end.
        const double signal = p.c.ts0;
        if (signal > SIGNAL_EPS && 1.0 - signal > SIGNAL_EPS) {
            sum_gamma += p.gamma;
            ++count_gamma;
        }
    }
    s.verdicts[SDR_GRAY_DE2000_AVG] = judge(SDR_GRAY_DE2000_AVG, average(sum_dE, n), ref.gamma);
    s.verdicts[SDR_TOTAL_GAMMA] = judge(SDR_TOTAL_GAMMA, average(sum_gamma, count_gamma), ref.gamma);

    const slot_figures_t gamut = slot_figures(store.gamut, store.gamut_measured, &color_t::dE2000);
    set_slot_verdict(s, SDR_GAMUT_DE2000_MAX, gamut, gamut.max, ref.gamma);
    const slot_figures_t checker = slot_figures(store.check, store.check_measured, &color_t::dE2000);
    set_slot_verdict(s, SDR_CHECKER_DE2000_AVG, checker, average(checker.sum, checker.measured), ref.gamma);
}

void summarize_hdr(const job_t &job, job_summary_t &s)
{
    const reference_t &ref = job.target;
    const patch_store_t &store = job.store;
    const int n = job.hdr_gray_pillar_count;
    float sum_dE2000 = 0.0f;
    float sum_dEITP = 0.0f;
    float max_diff = 0.0f;
    for (int i = 0; i < store.gray_count; ++i) {
        const color_t &p = store.gray[i];
        // Patches at or above the PQ clip have no pillar and no average; the
        // first patch (the black) does not count for ΔE ICtCp.
        if (i < n) {
            sum_dE2000 += p.dE2000;
            if (i != 0)
                sum_dEITP += p.dEICTCP_240;
        }
        max_diff = nan_max(max_diff, get_diff_EOTF(ref, job.white.bright_Y, job.white.max_E, p.c.ts0, p.E_prime));
    }
    s.verdicts[HDR_GRAY_DE2000_AVG] = judge(HDR_GRAY_DE2000_AVG, average(sum_dE2000, n), ref.gamma);
    s.verdicts[HDR_GRAY_DEICTCP_AVG] = judge(HDR_GRAY_DEICTCP_AVG, average(sum_dEITP, n - 1), ref.gamma);
    s.verdicts[HDR_EOTF_DIFF_MAX] = judge(HDR_EOTF_DIFF_MAX, max_diff, ref.gamma);

    const slot_figures_t checker = slot_figures(store.check, store.check_measured, &color_t::dEICTCP_240);
    set_slot_verdict(s, HDR_CHECKER_DEICTCP_AVG, checker, average(checker.sum, checker.measured), ref.gamma);
}

}  // namespace

std::span<const verdict_id> report_verdicts(bool hdr)
{
    static constexpr verdict_id SDR[] = {SDR_GRAY_DE2000_AVG, SDR_TOTAL_GAMMA, SDR_GAMUT_DE2000_MAX,
                                         SDR_CHECKER_DE2000_AVG};
    static constexpr verdict_id HDR[] = {HDR_GRAY_DE2000_AVG, HDR_GRAY_DEICTCP_AVG, HDR_EOTF_DIFF_MAX,
                                         HDR_CHECKER_DEICTCP_AVG};
    return hdr ? std::span<const verdict_id>(HDR) : std::span<const verdict_id>(SDR);
}

bool job_passes(const job_summary_t &summary)
{
    for (verdict_id id : report_verdicts(summary.hdr))
        if (!summary.verdicts[id].pass)
            return false;
    return true;
}

verdict_t judge(verdict_id id, float value, float target_gamma)
{
    const verdict_limit_t &l = verdict_limits[id];
    if (!std::isfinite(value) || !std::isfinite(target_gamma))
        return {value, false, true};
    // Compared as printed, in whole units of the value's last digit: the float
    // arithmetic behind a value or a target (1.8f is 1.79999995) must not put
    // a printed 1.9000 outside a printed 1.8 ± 0.1.
    const long long v = printed_units(value, std::chars_format::fixed, VALUE_DECIMALS);
    const long long limit = printed_units(l.limit, std::chars_format::fixed, l.limit_decimals);
    bool pass = false;
    if (l.around_target) {
        const long long target = printed_units(target_gamma, std::chars_format::general, TARGET_GAMMA_DIGITS);
        pass = target - limit <= v && v <= target + limit;
    } else {
        pass = v <= limit;
    }
    return {value, pass, true};
}

job_summary_t summarize_job(const job_t &job)
{
    job_summary_t s{};
    s.hdr = job.kind == REPORT_HDR;
    for (verdict_t &v : s.verdicts)
        v = {NOT_A_NUMBER, false, false};
    // A job whose file could not be read has no figure at all.
    if (!job.evaluated)
        return s;
    if (s.hdr)
        summarize_hdr(job, s);
    else
        summarize_sdr(job, s);
    // Without a white every figure is taken against an assumed one.
    if (!job.white.measured)
        for (verdict_t &v : s.verdicts)
            v.pass = false;
    return s;
}

void warn_unmeasured(const job_summary_t &summary, std::vector<std::string> *warnings)
{
    struct chart_t {
        verdict_id id;
        const char *name;
        int slots;
    };
    static constexpr chart_t charts[] = {
        {SDR_GAMUT_DE2000_MAX, "gamut", GAMUT_COUNT},
        {SDR_CHECKER_DE2000_AVG, "color checker", CHECK_COUNT},
        {HDR_CHECKER_DEICTCP_AVG, "color checker", CHECK_COUNT},
    };
    for (const chart_t &c : charts) {
        if (summary.hdr != (c.id >= HDR_GRAY_DE2000_AVG) || summary.unmeasured[c.id] == 0)
            continue;
        data_warning(warnings, "\r\n", "Warning: %d of %d %s patches were not measured: the %s verdict fails.",
                     summary.unmeasured[c.id], c.slots, c.name, c.name);
    }
}
