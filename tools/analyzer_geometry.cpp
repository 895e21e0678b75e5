// analyzer-geometry: prints where the charts place their marks, from the
// geometry headers alone, so that builds for other architectures can be
// compared with this one line by line.
//   analyzer-geometry --grid          a fixed grid of inputs, edges included
//   analyzer-geometry RECORDS...      every patch of every results record
//                                     (analyzer-results output, JSON Lines)
// Inputs are printed as hexadecimal floats, so a line names its input exactly.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "charts/geometry/bar_geometry.h"
#include "charts/geometry/cie_geometry.h"
#include "charts/geometry/eotf_geometry.h"
#include "color/color.h"
#include "measure/results.h"

namespace {

constexpr float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

struct named_bars {
    const char *name;
    const bar_layout_t &bars;
};
constexpr named_bars BAR_CHARTS[] = {
    {"sdr_gray", SDR_GRAY_DE_BARS},         {"sdr_gamut", SDR_GAMUT_DE_BARS},
    {"sdr_checker", SDR_CHECKER_BARS},      {"hdr_gray_de2000", HDR_GRAY_DE2000_BARS},
    {"hdr_gray_deitp", HDR_GRAY_DEITP_BARS}, {"hdr_checker", HDR_CHECKER_BARS},
};

// Values around every edge the charts treat specially.
const std::vector<float> &values()
{
    static const std::vector<float> v = [] {
        std::vector<float> out = {-INF, -1.0f, -0.0f, 0.0f, 1 / 35.0f, 3 / 133.0f, 1.5f, 1.5001f, 2.5f, 3.0f,
                                  9.999f, 10.0f, 10.5f, 12.0f, 1e30f, INF, NOT_A_NUMBER};
        for (int k = -4; k <= 80; ++k)
            out.push_back(k / 64.0f);
        for (int k = 0; k <= 20; ++k)
            out.push_back(k * 0.05f);
        return out;
    }();
    return v;
}

void print_bars(const named_bars &c, int n, int i, float v)
{
    const rect_t r = pillar_rect(c.bars, n, i, v);
    printf("pillar %s n=%d i=%d v=%a: %d %d %d %d\n", c.name, n, i, static_cast<double>(v), r.x, r.y, r.w, r.h);
}

void print_slots(const named_bars &c, int n)
{
    const plot_t &p = c.bars.plot;
    const float u = bar_unit(p.width, n);
    printf("slots %s n=%d: unit %a label width %d closing %d guides %d %d %d, %d to %d, boundaries", c.name, n,
           static_cast<double>(u), slot_label_width(u), closing_boundary(p, u), guide_y(p, 3), guide_y(p, 5),
           guide_y(p, 10), guide_left(p), guide_right(p));
    for (int i = 0; i < n; ++i)
        printf(" %d", slot_boundary(p.x, i, u));
    printf("\n");
}

void print_signal(float s)
{
    printf("signal %a: percent %d %d grey %d\n", static_cast<double>(s), signal_percent_double(s),
           signal_percent_single(s), signal_grey_level(s));
}

void print_ticks(const char *name, const plot_t &p, int steps)
{
    printf("ticks %s steps=%d:", name, steps);
    for (int i = 0; i <= steps; ++i) {
        const signal_tick_t t = signal_tick(p, steps, i);
        printf(" %d/%d/%d", t.x, t.label_x, t.label_width);
    }
    printf("\n");
}

sdr_eotf_scale_t print_sdr_scale(bool super, float max_E)
{
    const sdr_eotf_scale_t s = sdr_eotf_scale(super, max_E);
    printf("sdr scale super=%d max_E=%a: %a %a %a %a rows %d\n", super, static_cast<double>(max_E),
           static_cast<double>(s.max_y), static_cast<double>(s.min_y), static_cast<double>(s.max_x),
           static_cast<double>(s.min_x), sdr_eotf_rows(s));
    return s;
}

void print_point(const char *what, float a, float b, pixel_t p)
{
    printf("%s %a %a: %d %d\n", what, static_cast<double>(a), static_cast<double>(b), p.x, p.y);
}

void print_pq_curve(float max_E)
{
    const pq_curve_t c = pq_curve(HDR_EOTF_PLOT, max_E);
    printf("pq curve %a: %d %d %d %d %d\n", static_cast<double>(max_E), c.left, c.bottom, c.knee_x, c.knee_y,
           c.right);
}

void grid()
{
    const std::vector<float> &v = values();
    for (const named_bars &c : BAR_CHARTS) {
        for (int n : {0, 1, 2, 7, 11, 18, 21, 32}) {
            print_slots(c, n);
            for (int i : {0, n / 2, n - 1})
                for (float x : v)
                    if (i >= 0)
                        print_bars(c, n, i, x);
        }
    }
    for (float s : v)
        print_signal(s);
    for (int steps : {10, 11}) {
        print_ticks("sdr", SDR_EOTF_PLOT, steps);
        print_ticks("hdr", HDR_EOTF_PLOT, steps);
    }
    for (bool super : {false, true})
        for (float max_E : v)
            print_sdr_scale(super, max_E);
    for (float max_E : {0.51f, 0.96f})
        for (bool super : {false, true}) {
            const sdr_eotf_scale_t s = sdr_eotf_scale(super, max_E);
            for (int i = 1; i <= 20; ++i)
                for (float pq : v)
                    print_point("sdr curve", sdr_curve_signal(s, i), pq,
                                sdr_curve_point(SDR_EOTF_PLOT, s, sdr_curve_signal(s, i), pq));
            for (float x : v)
                for (float y : v)
                    print_point("sdr point", x, y, sdr_eotf_point(s, x, y));
        }
    for (float x : v)
        for (float y : v) {
            print_point("hdr point", x, y, hdr_eotf_point(x, y));
            print_point("cie point", x, y, cie_point(x, y));
        }
    for (float max_E : v)
        print_pq_curve(max_E);
    for (int i = 1; i <= 20; ++i)
        for (float e : v)
            print_point("hlg curve", hlg_curve_signal(i), e, hlg_curve_point(HDR_EOTF_PLOT, i, e));
}

// A number of a record; null (not finite) and absent numbers are NaN.
float number(const results_json &j, const char *key, size_t index = 0)
{
    if (!j.is_object() || !j.contains(key))
        return NOT_A_NUMBER;
    const results_json &v = j[key];
    const results_json &n = v.is_array() ? (index < v.size() ? v[index] : results_json()) : v;
    return n.is_number() ? n.get<float>() : NOT_A_NUMBER;
}

// Every mark the report of one record places, for both kinds of report.
void record(const results_json &r)
{
    const results_json &patches = r["patches"];
    const results_json none = results_json::array();
    auto list = [&](const char *key) -> const results_json & {
        return patches.contains(key) && patches[key].is_array() ? patches[key] : none;
    };
    const results_json &gray = list("grayscale");
    const float white = number(r, "white_level");
    const float max_E = get_ST2084_inver_EOTF(white);
    bool super = false;
    for (const results_json &p : gray)
        super = super || number(p, "signal") > 1.0f;
    printf("record white %a max_E %a\n", static_cast<double>(white), static_cast<double>(max_E));
    const sdr_eotf_scale_t s = print_sdr_scale(super, max_E);
    print_pq_curve(max_E);
    const int n = static_cast<int>(gray.size());
    for (int i = 0; i < n; ++i) {
        const results_json &p = gray[i];
        const float signal = number(p, "signal"), E = number(p, "E");
        print_signal(signal);
        print_bars(BAR_CHARTS[0], n, i, number(p, "dE2000"));
        print_bars(BAR_CHARTS[3], n, i, number(p, "dE2000"));
        print_bars(BAR_CHARTS[4], n, i, number(p, "dEICTCP"));
        print_point("sdr point", signal, E, sdr_eotf_point(s, signal, E));
        print_point("hdr point", signal, E, hdr_eotf_point(signal, E));
    }
    const results_json &gamut = list("gamut");
    for (size_t i = 0; i < gamut.size(); ++i) {
        print_bars(BAR_CHARTS[1], static_cast<int>(gamut.size()), static_cast<int>(i), number(gamut[i], "dE2000"));
        const float x = number(gamut[i], "xy", 0), y = number(gamut[i], "xy", 1);
        print_point("cie point", x, y, cie_point(x, y));
    }
    const results_json &checker = list("checker");
    for (size_t i = 0; i < checker.size(); ++i) {
        const int count = static_cast<int>(checker.size());
        print_bars(BAR_CHARTS[2], count, static_cast<int>(i), number(checker[i], "dE2000"));
        print_bars(BAR_CHARTS[5], count, static_cast<int>(i), number(checker[i], "dEICTCP"));
    }
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
        fputs("Usage: analyzer-geometry --grid | RECORDS...\n"
              "Prints where the charts place their marks: for a fixed grid of inputs, or for\n"
              "every patch of the results records (analyzer-results output) in the files.\n",
              argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (strcmp(argv[1], "--grid") == 0) {
        grid();
        return 0;
    }
    int status = 0;
    for (int a = 1; a < argc; ++a) {
        std::ifstream in(argv[a]);
        if (!in) {
            fprintf(stderr, "analyzer-geometry: cannot read \"%s\"\n", argv[a]);
            status = 1;
            continue;
        }
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            const results_json r = results_json::parse(line, nullptr, false);
            if (r.is_discarded() || !r.is_object() || !r.contains("patches") || !r["patches"].is_object()) {
                printf("%s:%d: not a results record\n", argv[a], n);
                continue;
            }
            record(r);
        }
    }
    return status;
}
