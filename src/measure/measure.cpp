#include "measure/measure.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "measure/data_file.h"

// Gamut rows in slot order: white, red, green, blue, cyan, magenta, yellow.
const std::array<signal_row_t, GAMUT_COUNT> gamut_stand_sdr = {{
    {0.780392f, 0.780392f, 0.780392f},
    {0.780392f, 0.0f, 0.0f},
    {0.0f, 0.780392f, 0.0f},
    {0.0f, 0.0f, 0.780392f},
    {0.0f, 0.780392f, 0.780392f},
    {0.780392f, 0.0f, 0.780392f},
    {0.780392f, 0.780392f, 0.0f},
}};

const std::array<signal_row_t, GAMUT_COUNT> gamut_stand_hdr = {{
    {0.509803f, 0.509803f, 0.509803f},
    {0.509803f, 0.0f, 0.0f},
    {0.0f, 0.509803f, 0.0f},
    {0.0f, 0.0f, 0.509803f},
    {0.0f, 0.509803f, 0.509803f},
    {0.509803f, 0.0f, 0.509803f},
    {0.509803f, 0.509803f, 0.0f},
}};

const std::array<signal_row_t, CHECK_COUNT> colorCheck_stand_sdr = {{
    {0.454902f, 0.317647f, 0.262745f},  // Dark Skin
    {0.780392f, 0.576471f, 0.505882f},  // Light Skin
    {0.356863f, 0.478431f, 0.611765f},  // Blue Sky
    {0.352941f, 0.423529f, 0.250980f},  // Foliage
    {0.509804f, 0.501961f, 0.690196f},  // Blue Flower
    {0.360784f, 0.745098f, 0.674510f},  // Bluish Green
    {0.878431f, 0.486275f, 0.184314f},  // Orange
    {0.266667f, 0.356863f, 0.666667f},  // Purplish Blue
    {0.776471f, 0.321569f, 0.380392f},  // Moderate Red
    {0.368627f, 0.227451f, 0.415686f},  // Purple
    {0.623529f, 0.741176f, 0.247059f},  // Yellow Green
    {0.901961f, 0.635294f, 0.152941f},  // Orange Yellow
    {0.137255f, 0.247059f, 0.576471f},  // Blue
    {0.262745f, 0.584314f, 0.290196f},  // Green
    {0.705882f, 0.192157f, 0.223529f},  // Red
    {0.933333f, 0.776471f, 0.078431f},  // Yellow
    {0.756863f, 0.329412f, 0.592157f},  // Magenta
    {0.329412f, 0.501961f, 0.603922f},  // Cyan
}};

const std::array<signal_row_t, CHECK_COUNT> colorCheck_stand_hdr = {{
    {0.345098f, 0.282353f, 0.250980f},  // Dark Skin
    {0.447059f, 0.396078f, 0.368627f},  // Light Skin
    {0.309804f, 0.356863f, 0.403922f},  // Blue Sky
    {0.298039f, 0.333333f, 0.250980f},  // Foliage
    {0.368627f, 0.364706f, 0.427451f},  // Blue Flower
    {0.317647f, 0.443137f, 0.419608f},  // Bluish Green
    {0.470588f, 0.352941f, 0.184314f},  // Orange
    {0.266667f, 0.301961f, 0.415686f},  // Purplish Blue
    {0.447059f, 0.290196f, 0.313725f},  // Moderate Red
    {0.301961f, 0.239216f, 0.329412f},  // Purple
    {0.407843f, 0.439216f, 0.243137f},  // Yellow Green
    {0.486275f, 0.411765f, 0.196078f},  // Orange Yellow
    {0.207843f, 0.239216f, 0.400000f},  // Blue
    {0.262745f, 0.392157f, 0.258824f},  // Green
    {0.427451f, 0.203922f, 0.231373f},  // Red
    {0.494118f, 0.454902f, 0.152941f},  // Yellow
    {0.439216f, 0.286275f, 0.392157f},  // Magenta
    {0.278431f, 0.368627f, 0.407843f},  // Cyan
}};

const std::array<code_row_t, CHECK_COUNT> colorCheck_stand_sdr_int = {{
    {116, 81, 67}, {199, 147, 129}, {91, 122, 156}, {90, 108, 64},   {130, 128, 176}, {92, 190, 172},
    {224, 124, 47}, {68, 91, 170},  {198, 82, 97},  {94, 58, 106},   {159, 189, 63},  {230, 162, 39},
    {35, 63, 147},  {67, 149, 74},  {180, 49, 57},  {238, 198, 20},  {193, 84, 151},  {84, 128, 154},
}};

const std::array<code_row_t, CHECK_COUNT> colorCheck_stand_hdr_int = {{
    {88, 72, 64},   {114, 101, 94}, {79, 91, 103}, {76, 85, 64},   {94, 93, 109},  {81, 113, 107},
    {120, 90, 47},  {68, 77, 106},  {114, 74, 80}, {77, 61, 84},   {104, 112, 62}, {124, 105, 50},
    {53, 61, 102},  {67, 100, 66},  {109, 52, 59}, {126, 116, 39}, {112, 73, 100}, {71, 94, 104},
}};

namespace {

constexpr double EPS = 1e-7;

bool near(float a, float b)
{
    return std::fabs(static_cast<double>(a - b)) < EPS;
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

void add_data_gray(patch_store_t &store, const color_block_t &c)
{
    float s = c.ts0;
    int32_t &count = store.gray_count;
    if (count > GRAY_MAX - 1) {
        printf("[%s] Error: test_data_gray_count beyond!!\r\n", "add_data_gray");
        return;
    }
    // Only a patch that is kept can make the job's last patch a super white.
    if (static_cast<double>(s) - 1.03 > EPS)
        store.super_white = true;
    auto &gray = store.gray;
    for (int i = 0; i < count; ++i) {
        if (near(gray[i].c.ts0, s)) {
            printf("data cover\xEF\xBC\x8C i = %d\r\n", i);
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

bool is_zero(float v)
{
    return std::fabs(static_cast<double>(v)) < EPS;
}

// One non-zero component, or two equal components and a zero third.
bool is_gamut(float s, float t, float u)
{
    return (near(s, t) && (is_zero(s) || is_zero(u))) || (near(s, u) && (is_zero(s) || is_zero(t))) ||
           (near(t, u) && (is_zero(t) || is_zero(s)));
}

// Steps of the run up to the white: reads the file into the store and picks
// the white from the grayscale. False when the file cannot be opened.
bool read_patches(job_t &job)
{
    printf("[%s]: test_type = %d.\r\n", "start_measure", static_cast<int>(job.kind));
    patch_store_t &store = job.store;
    job_white_t &white = job.white;
    if (!read_test_data(job.test_data_file.c_str(),
                        [&](const color_block_t &line) { add_test_data(job.target, store, line); })) {
        printf("Error: %s, init test data file faile!\n", "start_measure");
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
        puts("Warning: the test data holds no grayscale patch: no white, no verdict can pass.\r");
    }
    printf("bright_Y = %f, dark_Y = %f, test_data_gray_count = %d \r\n", static_cast<double>(white.bright_Y),
           static_cast<double>(white.dark_Y), store.gray_count);
    white.max_E = get_ST2084_inver_EOTF(white.bright_Y);
    printf("reference->white_level = %f, max_E = %f.\r\n", static_cast<double>(white.bright_Y),
           static_cast<double>(white.max_E));
    return true;
}

void evaluate_sdr(job_t &job)
{
    const reference_t &ref = job.target;
    const float bright_Y = job.white.bright_Y, dark_Y = job.white.dark_Y;
    patch_store_t &store = job.store;
    for (int i = 0; i < store.gray_count; ++i) {
        color_t &p = store.gray[i];
        p.dE2000 = get_color_dE2000(ref, bright_Y, dark_Y, &p);
        if (ref.test_type == EOTF_POWER)
            p.gamma = get_gamma_power(p.c.ts1, bright_Y, dark_Y, p.c.Y);
        else if (ref.test_type == EOTF_BT1886)
            p.gamma = get_gamma_BT_1886(p.c.ts1, bright_Y, dark_Y, p.c.Y);
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

void evaluate_hdr(job_t &job)
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
    // For HLG every grayscale patch is a pillar; only PQ clips at the white.
    job.hdr_gray_pillar_count = ref.test_type == EOTF_PQ ? pillars : store.gray_count;
}

}  // namespace

void add_test_data(const reference_t &target, patch_store_t &store, const color_block_t &c)
{
    float s = c.ts0, t = c.ts1, u = c.ts2;
    if (is_gray(s, t, u)) {
        add_data_gray(store, c);
    } else if (is_gamut(s, t, u)) {
        const auto &table = is_hdr(target.test_type) ? gamut_stand_hdr : gamut_stand_sdr;
        const int slot = nearest_row(c, table);
        store.gamut[slot].c = c;
        store.gamut_measured[slot] = true;
    } else {
        const auto &table = target.test_type == EOTF_PQ ? colorCheck_stand_hdr : colorCheck_stand_sdr;
        const int slot = nearest_row(c, table);
        store.check[slot].c = c;
        store.check_measured[slot] = true;
    }
}

job_t evaluate(const reference_t &target, const char *test_data_file)
{
    job_t job;
    job.target = target;
    job.kind = is_hdr(target.test_type) ? REPORT_HDR : REPORT_SDR;
    job.test_data_file = test_data_file != nullptr ? test_data_file : "";
    job.white.hlg_peak = target.peak_lum;
    job.evaluated = read_patches(job);
    if (job.evaluated) {
        // An HLG target without a peak luminance is judged at the measured white.
        if (target.test_type == EOTF_HLG && target.peak_lum == 0.0f) {
            printf("Error: %s, peak_lum == 0, gamma error!\r\n", "get_HLG_EOTF");
            job.white.hlg_peak = job.white.bright_Y;
        }
        if (job.kind == REPORT_SDR)
            evaluate_sdr(job);
        else
            evaluate_hdr(job);
    }
    job.summary = summarize_job(job);
    if (job.evaluated)
        warn_unmeasured(job.summary);
    return job;
}
