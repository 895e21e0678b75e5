// analyzer-simulate: writes the test data file that a colorimeter would
// leave after measuring a modelled display against a given target.
//
// The ideal display shows exactly the colour the analyzer expects for each
// test signal (the library's own expected-colour functions, with the
// display's white and black as bright and dark); the display options add
// deviations on top of that.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "color/color.h"
#include "color/matrix.h"
#include "color/reference.h"
#include "measure/measure.h"

namespace {

const char *const USAGE =
    "Usage: analyzer-simulate [target options] [display options] [-o FILE]\n"
    "\n"
    "Writes a test data file for the analyzer: two header lines, then one line\n"
    "\"ts0,ts1,ts2,X,Y,Z\" per patch, in shuffled order: the grayscale ramp 0 % to\n"
    "100 % in 10 % steps, the six gamut patches (primaries and secondaries) and\n"
    "the 18 colour-checker patches, with the signal tables the analyzer uses for\n"
    "the target's EOTF (HDR gamut codes for PQ and HLG, HDR checker codes for PQ only).\n"
    "X, Y and Z carry nine significant digits, so they read back exactly.\n"
    "\n"
    "Target (as for the analyzer):\n"
    "  -colorSpace NAME   EBU, SMPTE-C, Rec.709, BT.2020, NTSC, DCI-P3 (default DCI-P3)\n"
    "  -EOTF NAME         @EOTF_NAMES@ (default Power)\n"
    "  -gamma G           target gamma of Power and BT.1886 (default 2.4)\n"
    "  -cct K             white point by CCT, e.g. 6500 (default), 6300 for P3-DCI\n"
    "  -lum L             HLG nominal peak luminance in cd/m2 (default: the white)\n"
    "\n"
    "Modelled display (defaults give the ideal display):\n"
    "  --white L          luminance of the 100 % signal in cd/m2, SDR and HLG\n"
    "                     (default: the EOTF's reference white, 100 for SDR, 1000\n"
    "                     for HLG; PQ uses --clip)\n"
    "  --black L          black level in cd/m2 (default 0); for PQ it is added to\n"
    "                     every patch at the white-point chromaticity\n"
    "  --gamma G          display gamma of a Power or BT.1886 target (default: the\n"
    "                     target gamma)\n"
    "  --eotf-offset E    signal (code value) error added to every channel before\n"
    "                     the display's EOTF, e.g. 0.01 for PQ (default 0)\n"
    "  --clip L           PQ peak: neutral patches brighter than L cd/m2 are shown\n"
    "                     at L; the 100 % patch is then the white (default 10000)\n"
    "  --shift-x D, --shift-y D\n"
    "                     chromaticity shift of every patch (default 0)\n"
    "  --primary-shift K  display primaries K times further from the white point\n"
    "                     than the target's (0.05 wider, -0.05 narrower; default 0)\n"
    "  --super-white      add a grayscale patch at signal 1.09\n"
    "  --gamut-white      add the gamut table's white row (an all-equal signal,\n"
    "                     which the analyzer files as one more grayscale patch)\n"
    "  --seed N           shuffle seed (default: random)\n"
    "  -o FILE            output file (default: standard output)\n"
    "  --help             this text\n";

// The row of the target's EOTF, which -EOTF can only set to one of the table.
const eotf_row_t &eotf_of(const reference_t &target)
{
    return *find_eotf(target.test_type);
}

struct display_t {
    float white = NAN;
    float black = 0.0f;
    float gamma = NAN;
    float eotf_offset = 0.0f;
    float clip = 10000.0f;
    float shift_x = 0.0f;
    float shift_y = 0.0f;
    float primary_shift = 0.0f;
    bool super_white = false;
    bool gamut_white = false;
    bool seeded = false;
    uint32_t seed = 0;
    const char *out = nullptr;
};

[[noreturn]] void fail(const char *what, const char *value)
{
    fprintf(stderr, "analyzer-simulate: %s: %s\n(see --help)\n", what, value);
    exit(2);
}

float number(const char *opt, const char *value)
{
    char *end = nullptr;
    float v = std::strtof(value, &end);
    if (end == value || *end != '\0' || !std::isfinite(v))
        fail(opt, value);
    return v;
}

void set_target(reference_t &target, const char *opt, const char *value)
{
    if (strcmp(opt, "-colorSpace") == 0) {
        for (const standard_t &row : standard_type)
            if (strcmp(value, row.name) == 0) {
                target.standard = row;
                return;
            }
        fail("unknown colour space", value);
    }
    if (strcmp(opt, "-EOTF") == 0) {
        const eotf_row_t *row = find_eotf(value);
        if (row == nullptr)
            fail("unknown EOTF", value);
        target.test_type = row->id;
        return;
    }
    if (strcmp(opt, "-gamma") == 0) {
        target.gamma = number(opt, value);
        return;
    }
    if (strcmp(opt, "-cct") == 0) {
        long cct = std::strtol(value, nullptr, 10);
        if (cct == 6300)
            cct = 6301;
        for (const white_t &row : white_type)
            if (row.cct == cct) {
                target.white = row;
                return;
            }
        fail("unknown CCT", value);
    }
    if (strcmp(opt, "-lum") == 0) {
        target.peak_lum = number(opt, value);
        return;
    }
    fail("unknown option", opt);
}

display_t parse(int argc, char **argv, reference_t &target)
{
    display_t d;
    for (int i = 1; i < argc; ++i) {
        const char *opt = argv[i];
        if (strcmp(opt, "--help") == 0 || strcmp(opt, "-h") == 0) {
            std::string usage = USAGE, names;
            for (const eotf_row_t &row : eotf_table)
                names += (names.empty() ? "" : ", ") + std::string(row.name);
            usage.replace(usage.find("@EOTF_NAMES@"), 12, names);
            fputs(usage.c_str(), stdout);
            exit(0);
        }
        if (strcmp(opt, "--super-white") == 0) {
            d.super_white = true;
            continue;
        }
        if (strcmp(opt, "--gamut-white") == 0) {
            d.gamut_white = true;
            continue;
        }
        if (i + 1 >= argc)
            fail("missing value", opt);
        const char *value = argv[++i];
        if (strcmp(opt, "--white") == 0)
            d.white = number(opt, value);
        else if (strcmp(opt, "--black") == 0)
            d.black = number(opt, value);
        else if (strcmp(opt, "--gamma") == 0)
            d.gamma = number(opt, value);
        else if (strcmp(opt, "--eotf-offset") == 0)
            d.eotf_offset = number(opt, value);
        else if (strcmp(opt, "--clip") == 0)
            d.clip = number(opt, value);
        else if (strcmp(opt, "--shift-x") == 0)
            d.shift_x = number(opt, value);
        else if (strcmp(opt, "--shift-y") == 0)
            d.shift_y = number(opt, value);
        else if (strcmp(opt, "--primary-shift") == 0)
            d.primary_shift = number(opt, value);
        else if (strcmp(opt, "--seed") == 0) {
            d.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
            d.seeded = true;
        } else if (strcmp(opt, "-o") == 0)
            d.out = value;
        else
            set_target(target, opt, value);
    }
    if (std::isnan(d.white))
        d.white = eotf_of(target).reference_white;
    if (std::isnan(d.gamma))
        d.gamma = target.gamma;
    return d;
}

// The RGB to XYZ matrix of primaries and a completed white, as at start-up
// but without the printout.
mat3_t rgb_to_xyz_of(const standard_t &standard, const color_block_t &w)
{
    return get_RGB_to_XYZ_matrix(get_primaries_matrix(standard), vec3_t{{w.X, w.Y, w.Z}});
}

// The display's primaries: the target's, moved away from the white point.
standard_t display_primaries(const reference_t &target, float k)
{
    standard_t s = target.standard;
    if (k == 0.0f)
        return s;
    const color_block_t &w = target.white.color;
    for (color_block_t *p : {&s.red, &s.green, &s.blue}) {
        p->x = w.x + (1.0f + k) * (p->x - w.x);
        p->y = w.y + (1.0f + k) * (p->y - w.y);
    }
    return s;
}

struct model_t {
    display_t d;
    reference_t target;
    const eotf_row_t &eotf;
    mat3_t display_matrix;
};

// The XYZ that the modelled display shows for a test signal.
color_block_t show(const model_t &m, float s0, float s1, float s2)
{
    const display_t &d = m.d;
    color_block_t c{};
    c.ts0 = std::fmax(0.0f, s0 + d.eotf_offset);
    c.ts1 = std::fmax(0.0f, s1 + d.eotf_offset);
    c.ts2 = std::fmax(0.0f, s2 + d.eotf_offset);

    // The display is the target with its own primaries and gamma.
    reference_t display = m.target;
    display.RGB_to_XYZ = m.display_matrix;
    display.gamma = d.gamma;
    // An absolute curve is clipped at the display's peak and ignores its black.
    const bool absolute = m.eotf.clip == CLIP_AT_WHITE;
    m.eotf.expect(display, absolute ? d.clip : d.white, d.black, &c);

    if (absolute && d.black != 0.0f) {
        // Light added at the white-point chromaticity on top of the patch.
        const color_block_t &w = m.target.white.color;
        c.X += d.black * w.X / w.Y;
        c.Y += d.black;
        c.Z += d.black * w.Z / w.Y;
    }
    if ((d.shift_x != 0.0f || d.shift_y != 0.0f) && c.Y > 0.0f) {
        get_xyY_from_XYZ(&c);
        c.x += d.shift_x;
        c.y += d.shift_y;
        get_XYZ_from_xyY(&c);
    }
    c.ts0 = s0;
    c.ts1 = s1;
    c.ts2 = s2;
    return c;
}

// The shuffle draws from mt19937 directly, whose sequence is fixed by the
// standard, so a seed gives the same file everywhere.
void shuffle(std::vector<color_block_t> &v, uint32_t seed)
{
    std::mt19937 rng(seed);
    for (size_t i = v.size(); i > 1; --i)
        std::swap(v[i - 1], v[rng() % i]);
}

}  // namespace

int main(int argc, char **argv)
{
    reference_t target = init_reference();
    display_t d = parse(argc, argv, target);
    get_XYZ_from_xyY(&target.white.color);
    target.RGB_to_XYZ = rgb_to_xyz_of(target.standard, target.white.color);
    const eotf_row_t &eotf = eotf_of(target);
    model_t m{d, target, eotf, rgb_to_xyz_of(display_primaries(target, d.primary_shift), target.white.color)};
    std::vector<color_block_t> patches;
    for (int i = 0; i <= 10; ++i) {
        float s = static_cast<float>(i) / 10.0f;
        patches.push_back(show(m, s, s, s));
    }
    // The analyzer takes the 100 % patch as the white of every expectation.
    // When that patch misses the display's white level by rounding only,
    // make it exact, so that an ideal display is judged against the very
    // white it was modelled with.
    color_block_t &white = patches.back();
    float level = eotf.clip == CLIP_AT_WHITE ? std::fmin(d.clip, 10000.0f) : d.white;
    if (white.Y > 0.0f && std::fabs(white.Y / level - 1.0f) < 1e-5f) {
        float k = level / white.Y;
        white.X *= k;
        white.Z *= k;
        white.Y = level;
    }
    if (d.super_white)
        patches.push_back(show(m, 1.09f, 1.09f, 1.09f));
    const gamut_table_t &gamut = *eotf.gamut;
    for (size_t i = d.gamut_white ? 0 : 1; i < gamut.size(); ++i)
        patches.push_back(show(m, gamut[i][0], gamut[i][1], gamut[i][2]));
    for (const signal_row_t &row : *eotf.checker)
        patches.push_back(show(m, row[0], row[1], row[2]));
    shuffle(patches, d.seeded ? d.seed : std::random_device{}());

    struct file_closer {
        void operator()(FILE *f) const
        {
            if (f != stdout)
                fclose(f);
        }
    };
    std::unique_ptr<FILE, file_closer> out(d.out != nullptr ? fopen(d.out, "w") : stdout);
    if (!out) {
        perror(d.out);
        return 1;
    }
    // Header lines stay below the analyzer's 255-character line buffer.
    fprintf(out.get(), "Simulated test data: EOTF %s, %s, white %s (%d K), gamma %.2f\n",
            eotf.name, target.standard.name, target.white.name,
            target.white.cct, static_cast<double>(target.gamma));
    fprintf(out.get(), "ts0,ts1,ts2,X,Y,Z\n");
    for (const color_block_t &c : patches)
        fprintf(out.get(), "%.6f,%.6f,%.6f,%.9g,%.9g,%.9g\n", static_cast<double>(c.ts0),
                static_cast<double>(c.ts1), static_cast<double>(c.ts2), static_cast<double>(c.X),
                static_cast<double>(c.Y), static_cast<double>(c.Z));
    if (fflush(out.get()) != 0 || ferror(out.get())) {
        perror(d.out != nullptr ? d.out : "stdout");
        return 1;
    }
    return 0;
}
