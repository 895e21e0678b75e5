#include "measure/measure.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "color/tolerance.h"
#include "measure/console.h"
#include "measure/data_file.h"

namespace {

bool near(float a, float b)
{
    return near_zero(a - b);
}

// Index of the table row nearest to the signal; a row must come nearer than
// 3.0 and the earliest of equally near rows wins, else 0. A NaN signal is
// never nearer, so it lands in slot 0 too.
template <size_t N>
int nearest_row(const color_block_t &c, const std::array<signal_row_t, N> &table)
{
    float best = 3.0f;
    int index = 0;
    for (size_t i = 0; i < N; ++i) {
        double d0 = static_cast<double>(c.ts0) - table[i][0];
        double d1 = static_cast<double>(c.ts1) - table[i][1];
        double d2 = static_cast<double>(c.ts2) - table[i][2];
        float d = static_cast<float>(d0 * d0 + d1 * d1 + d2 * d2);
        if (static_cast<double>(best - d) > EPS) {
            best = d;
            index = static_cast<int>(i);
        }
    }
    return index;
}

void add_data_gray(patch_store_t &store, const color_block_t &c, std::vector<std::string> *warnings)
{
    float s = c.ts0;
    int32_t &count = store.gray_count;
    // The first LINE_WARNINGS_MAX refused or replaced patches are said one by
    // one, the others by one line when the reading ends.
    if (count > GRAY_MAX - 1) {
        if (++store.gray_warnings <= LINE_WARNINGS_MAX)
            data_warning(warnings, "\r\n", "[%s] Error: test_data_gray_count beyond!!", "add_data_gray");
        return;
    }
    // Only a patch that is kept can make the job's last patch a super white.
    if (static_cast<double>(s) - 1.03 > EPS)
        store.super_white = true;
    auto &gray = store.gray;
    for (int i = 0; i < count; ++i) {
        if (near(gray[i].c.ts0, s)) {
            if (++store.gray_warnings <= LINE_WARNINGS_MAX)
                data_warning(warnings, "\r\n", "data cover\xEF\xBC\x8C i = %d", i);
            gray[i].c = c;
            return;
        }
        if (static_cast<double>(gray[i].c.ts0 - s) > EPS) {
            // Insert before entry i; the list has room, so the count grows
            // exactly as on the append path.
            for (int k = count; k > i; --k)
                gray[k].c = gray[k - 1].c;
            gray[i].c = c;
            ++count;
            return;
        }
    }
    gray[count].c = c;
    ++count;
}

bool is_gray(float s, float t, float u)
{
    return near(s, t) && near(s, u) && near(t, u);
}

// One non-zero component, or two equal components and a zero third.
bool is_gamut(float s, float t, float u)
{
    return (near(s, t) && (near_zero(s) || near_zero(u))) || (near(s, u) && (near_zero(s) || near_zero(t))) ||
           (near(t, u) && (near_zero(t) || near_zero(s)));
}

// Steps of the run up to the white: reads the file into the store and picks
// the white from the grayscale. False when the file cannot be opened.
bool read_patches(job_t &job)
{
    fprintf(console_out(), "[%s]: test_type = %d.\r\n", "start_measure", static_cast<int>(job.kind));
    patch_store_t &store = job.store;
    job_white_t &white = job.white;
    const bool read = read_test_data(
        job.test_data_file.c_str(),
        [&](const color_block_t &line) { add_test_data(job.target, store, line, &job.data_warnings); },
        &job.lines_skipped, &job.data_warnings);
    if (store.gray_warnings > LINE_WARNINGS_MAX)
        data_warning(&job.data_warnings, "\r\n", "Warning: %" PRId64 " more grayscale patches were refused or replaced.",
                     store.gray_warnings - LINE_WARNINGS_MAX);
    if (!read) {
        fprintf(console_out(), "Error: %s, init test data file faile!\n", "start_measure");
        return false;
    }

    if (store.gray_count > 0) {
        // The super-white patch is last; with a single patch that one is the white.
        int w = store.gray_count - 1;
        if (store.super_white && w > 0)
            --w;
        store.gamut[0].c = store.gray[w].c;
        store.gamut_measured[0] = true;
        white.measured = true;
        white.bright_Y = store.gray[w].c.Y;
        white.dark_Y = 0.0f;
        white.gray_steps = store.gray_count - 1;
    } else {
        data_warning(&job.data_warnings, "\r\n",
                     "Warning: the test data holds no grayscale patch: no white, no verdict can pass.");
    }
    fprintf(console_out(), "bright_Y = %f, dark_Y = %f, test_data_gray_count = %d \r\n", static_cast<double>(white.bright_Y),
           static_cast<double>(white.dark_Y), store.gray_count);
    white.max_E = get_ST2084_inver_EOTF(white.bright_Y);
    fprintf(console_out(), "reference->white_level = %f, max_E = %f.\r\n", static_cast<double>(white.bright_Y),
           static_cast<double>(white.max_E));
    return true;
}

void evaluate_sdr(job_t &job, const eotf_row_t &eotf)
{
    const reference_t &ref = job.target;
    const float bright_Y = job.white.bright_Y, dark_Y = job.white.dark_Y;
    patch_store_t &store = job.store;
    for (int i = 0; i < store.gray_count; ++i) {
        color_t &p = store.gray[i];
        p.dE2000 = get_color_dE2000(ref, bright_Y, dark_Y, &p);
        if (eotf.gamma != nullptr)
            p.gamma = eotf.gamma(p.c.ts1, bright_Y, dark_Y, p.c.Y);
        p.E_prime = get_ST2084_inver_EOTF(p.c.Y);
        get_xyY_from_XYZ(&p.c);
    }
    for (color_t &p : store.gamut) {
        p.dE2000 = get_color_dE2000(ref, bright_Y, dark_Y, &p);
        get_xyY_from_XYZ(&p.c);
    }
    for (color_t &p : store.check) {
        p.dE2000 = get_color_dE2000(ref, bright_Y, dark_Y, &p);
        get_xyY_from_XYZ(&p.c);
    }
}

void evaluate_hdr(job_t &job, const eotf_row_t &eotf)
{
    const reference_t &ref = job.target;
    const float bright_Y = job.white.bright_Y, dark_Y = job.white.dark_Y;
    patch_store_t &store = job.store;
    if (store.super_white) {
        --store.gray_count;
        --job.white.gray_steps;
    }
    int32_t pillars = 0;
    for (int i = 0; i < store.gray_count; ++i) {
        color_t &p = store.gray[i];
        p.dE2000 = get_color_dE2000(ref, bright_Y, dark_Y, &p);
        p.dEITP = get_color_HDR_dEITP(ref, bright_Y, dark_Y, &p);
        p.dEICTCP_240 = get_color_HDR_dEICTCP_240(ref, bright_Y, dark_Y, &p);
        p.E_prime = get_ST2084_inver_EOTF(p.c.Y);
        if (static_cast<double>(job.white.max_E - p.c.ts0) > EPS)
            ++pillars;
    }
    for (color_t &p : store.check) {
        p.dE2000 = get_color_dE2000(ref, bright_Y, dark_Y, &p);
        p.dEITP = get_color_HDR_dEITP(ref, bright_Y, dark_Y, &p);
        p.dEICTCP_240 = get_color_HDR_dEICTCP_240(ref, bright_Y, dark_Y, &p);
    }
    // Only a curve clipped at the white leaves patches above it without a pillar.
    job.hdr_gray_pillar_count = eotf.clip == CLIP_AT_WHITE ? pillars : store.gray_count;
}

}  // namespace

void add_test_data(const reference_t &target, patch_store_t &store, const color_block_t &c,
                   std::vector<std::string> *warnings)
{
    // Without an EOTF row there are no nominal signals to match against.
    const eotf_row_t *eotf = find_eotf(target.test_type);
    if (eotf == nullptr)
        return;
    float s = c.ts0, t = c.ts1, u = c.ts2;
    if (is_gray(s, t, u)) {
        add_data_gray(store, c, warnings);
    } else if (is_gamut(s, t, u)) {
        const int slot = nearest_row(c, *eotf->gamut);
        store.gamut[slot].c = c;
        store.gamut_measured[slot] = true;
    } else {
        const int slot = nearest_row(c, *eotf->checker);
        store.check[slot].c = c;
        store.check_measured[slot] = true;
    }
}

job_t evaluate(const reference_t &target, const char *test_data_file)
{
    job_t job;
    const eotf_row_t *eotf = find_eotf(target.test_type);
    job.target = target;
    job.kind = eotf != nullptr && eotf->hdr ? REPORT_HDR : REPORT_SDR;
    job.test_data_file = test_data_file != nullptr ? test_data_file : "";
    job.white.hlg_peak = target.peak_lum;
    if (eotf == nullptr)
        fprintf(console_out(), "Error: %s, EOTF type %d has no curve: nothing is judged.\r\n", "start_measure",
               static_cast<int>(target.test_type));
    else
        job.evaluated = read_patches(job);
    if (job.evaluated) {
        if (eotf->uses_peak_lum) {
            if (!peak_lum_given(target))
                fprintf(console_out(), "Error: %s, peak_lum == 0, gamma error!\r\n", "get_HLG_EOTF");
            job.white.hlg_peak = get_peak_lum(target, job.white.bright_Y);
        }
        if (job.kind == REPORT_SDR)
            evaluate_sdr(job, *eotf);
        else
            evaluate_hdr(job, *eotf);
    }
    job.summary = summarize_job(job);
    if (job.evaluated)
        warn_unmeasured(job.summary, &job.data_warnings);
    return job;
}
