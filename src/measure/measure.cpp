#include "measure/measure.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "config/configure.h"
#include "config/reference.h"
#include "measure/verdict.h"

color_t data_gray[GRAY_MAX];
int32_t test_data_gray_count = 0;
int32_t flag_super_white = 0;
color_t data_gamut[GAMUT_COUNT];
color_t data_check[CHECK_COUNT];
int32_t hdr_gray_pillar_count = 0;
bool data_gamut_measured[GAMUT_COUNT] = {};
bool data_check_measured[CHECK_COUNT] = {};
bool white_measured = false;

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

// The measured white and black of the run.
float bright_Y = 100.0f;
float dark_Y = 0.0f;

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

void add_data_gray(const color_block_t &c)
{
    float s = c.ts0;
    if (test_data_gray_count > GRAY_MAX - 1) {
        printf("[%s] Error: test_data_gray_count beyond!!\r\n", "add_data_gray");
        return;
    }
    // Only a patch that is kept can make the job's last patch a super white.
    if (static_cast<double>(s) - 1.03 > EPS)
        flag_super_white = 1;
    for (int i = 0; i < test_data_gray_count; ++i) {
        if (near(data_gray[i].c.ts0, s)) {
            printf("data cover\xEF\xBC\x8C i = %d\r\n", i);
            data_gray[i].c = c;
            return;
        }
        if (static_cast<double>(data_gray[i].c.ts0 - s) > EPS) {
            // Insert before entry i; the list has room, so the count grows
            // exactly as on the append path.
            for (int k = test_data_gray_count; k > i; --k)
                data_gray[k].c = data_gray[k - 1].c;
            data_gray[i].c = c;
            ++test_data_gray_count;
            return;
        }
    }
    data_gray[test_data_gray_count].c = c;
    ++test_data_gray_count;
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

// Steps of the run up to the white: clears the store, reads the file and
// picks the white from the grayscale. False when the file cannot be opened.
bool read_patches(int kind)
{
    printf("[%s]: test_type = %d.\r\n", "start_measure", kind);
    del_test_data();
    // A run starts from the process-start values, so repeated runs agree.
    bright_Y = 100.0f;
    dark_Y = 0.0f;
    hdr_gray_pillar_count = 0;
    white_measured = false;
    color_block_t line{};
    if (init_test_data_file() != 0) {
        printf("Error: %s, init test data file faile!\n", "start_measure");
        return false;
    }
    while (get_XYZ_from_file(&line) == 0)
        add_test_data(&line);

    if (test_data_gray_count > 0) {
        // The super-white patch is last; with a single patch that one is the white.
        int w = test_data_gray_count - 1;
        if (flag_super_white != 0 && w > 0)
            --w;
        data_gamut[0].c = data_gray[w].c;
        data_gamut_measured[0] = true;
        white_measured = true;
        bright_Y = data_gray[w].c.Y;
        dark_Y = 0.0f;
        reference->gray_steps = test_data_gray_count - 1;
    } else {
        puts("Warning: the test data holds no grayscale patch: no white, no verdict can pass.\r");
    }
    printf("bright_Y = %f, dark_Y = %f, test_data_gray_count = %d \r\n", static_cast<double>(bright_Y),
           static_cast<double>(dark_Y), test_data_gray_count);
    reference->white_level = bright_Y;
    reference->max_E = get_ST2084_inver_EOTF(bright_Y);
    printf("reference->white_level = %f, max_E = %f.\r\n", static_cast<double>(reference->white_level),
           static_cast<double>(reference->max_E));
    return true;
}

void evaluate_sdr()
{
    for (int i = 0; i < test_data_gray_count; ++i) {
        color_t &p = data_gray[i];
        p.dE2000 = get_color_dE2000(bright_Y, dark_Y, &p);
        if (reference->test_type == 0)
            p.gamma = get_gamma_power(p.c.ts1, bright_Y, dark_Y, p.c.Y);
        else if (reference->test_type == 1)
            p.gamma = get_gamma_BT_1886(p.c.ts1, bright_Y, dark_Y, p.c.Y);
        p.E_prime = get_ST2084_inver_EOTF(p.c.Y);
        get_xyY_from_XYZ(&p.c);
    }
    for (color_t &p : data_gamut) {
        p.dE2000 = get_color_dE2000(bright_Y, dark_Y, &p);
        get_xyY_from_XYZ(&p.c);
    }
    for (color_t &p : data_check) {
        p.dE2000 = get_color_dE2000(bright_Y, dark_Y, &p);
        get_xyY_from_XYZ(&p.c);
    }
}

void evaluate_hdr()
{
    if (flag_super_white != 0) {
        --test_data_gray_count;
        --reference->gray_steps;
    }
    for (int i = 0; i < test_data_gray_count; ++i) {
        color_t &p = data_gray[i];
        p.dE2000 = get_color_dE2000(bright_Y, dark_Y, &p);
        p.dEITP = get_color_HDR_dEITP(bright_Y, dark_Y, &p);
        p.dEICTCP_240 = get_color_HDR_dEICTCP_240(bright_Y, dark_Y, &p);
        p.E_prime = get_ST2084_inver_EOTF(p.c.Y);
        if (static_cast<double>(reference->max_E - p.c.ts0) > EPS)
            ++hdr_gray_pillar_count;
    }
    for (color_t &p : data_check) {
        p.dE2000 = get_color_dE2000(bright_Y, dark_Y, &p);
        p.dEITP = get_color_HDR_dEITP(bright_Y, dark_Y, &p);
        p.dEICTCP_240 = get_color_HDR_dEICTCP_240(bright_Y, dark_Y, &p);
    }
    // For HLG every grayscale patch is a pillar; only PQ clips at the white.
    if (reference->test_type != 2)
        hdr_gray_pillar_count = test_data_gray_count;
}

}  // namespace

void add_test_data(const color_block_t *block)
{
    const color_block_t &c = *block;
    float s = c.ts0, t = c.ts1, u = c.ts2;
    if (is_gray(s, t, u)) {
        add_data_gray(c);
    } else if (is_gamut(s, t, u)) {
        const auto &table = reference->test_type > 1 ? gamut_stand_hdr : gamut_stand_sdr;
        const int slot = nearest_row(c, table);
        data_gamut[slot].c = c;
        data_gamut_measured[slot] = true;
    } else {
        const auto &table = reference->test_type == 2 ? colorCheck_stand_hdr : colorCheck_stand_sdr;
        const int slot = nearest_row(c, table);
        data_check[slot].c = c;
        data_check_measured[slot] = true;
    }
}

void del_test_data()
{
    test_data_gray_count = 0;
    memset(data_gray, 0, sizeof data_gray);
    memset(data_gamut, 0, sizeof data_gamut);
    memset(data_check, 0, sizeof data_check);
    memset(data_gamut_measured, 0, sizeof data_gamut_measured);
    memset(data_check_measured, 0, sizeof data_check_measured);
    flag_super_white = 0;
}

bool evaluate_measure(int kind)
{
    if (!read_patches(kind))
        return false;
    if (kind == 0)
        evaluate_sdr();
    else
        evaluate_hdr();
    job_summary = summarize_job(*reference, kind);
    warn_unmeasured(job_summary);
    return true;
}
