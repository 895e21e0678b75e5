// The target record (colour space, white, EOTF, gamma, HLG peak and matrices)
// and the constant tables of colour spaces and whites it is chosen from.
#include "color/reference.h"

#include <cstdio>

namespace {

constexpr standard_t make_standard(const char *name, float rx, float ry, float gx, float gy,
                                   float bx, float by)
{
    standard_t s{};
    s.name = name;
    s.red.x = rx;
    s.red.y = ry;
    s.green.x = gx;
    s.green.y = gy;
    s.blue.x = bx;
    s.blue.y = by;
    return s;
}

constexpr white_t make_white(const char *name, float x, float y, int32_t cct)
{
    white_t w{};
    w.name = name;
    w.color.Y = 100.0f;
    w.color.x = x;
    w.color.y = y;
    w.cct = cct;
    return w;
}

constexpr int DEFAULT_STANDARD = 5;  // "DCI-P3"
constexpr int DEFAULT_WHITE = 5;     // "D65"

}  // namespace

const std::array<standard_t, 6> standard_type = {
    make_standard("EBU", 0.64f, 0.33f, 0.29f, 0.6f, 0.15f, 0.06f),
    make_standard("SMPTE-C", 0.63f, 0.34f, 0.31f, 0.595f, 0.155f, 0.07f),
    make_standard("Rec.709", 0.64f, 0.33f, 0.3f, 0.6f, 0.15f, 0.06f),
    make_standard("BT.2020", 0.708f, 0.292f, 0.17f, 0.797f, 0.131f, 0.046f),
    make_standard("NTSC", 0.67f, 0.33f, 0.21f, 0.71f, 0.14f, 0.08f),
    make_standard("DCI-P3", 0.68f, 0.32f, 0.265f, 0.69f, 0.15f, 0.06f),
};

const std::array<white_t, 18> white_type = {
    make_white("D32", 0.42426f, 0.40263f, 3200),
    make_white("D50", 0.345669f, 0.358496f, 5000),
    make_white("D55", 0.332406f, 0.347551f, 5500),
    make_white("D56", 0.33016f, 0.34554f, 5600),
    make_white("D60", 0.32168f, 0.33767f, 6000),
    make_white("D65", 0.312712f, 0.329008f, 6500),
    make_white("D65-ACMF", 0.3116f, 0.3271f, 6580),
    make_white("D65-JUDD", 0.3067f, 0.318f, 6960),
    make_white("D65-JUDD", 0.3097f, 0.3231f, 6724),
    make_white("D65-JUDD", 0.3097f, 0.3241f, 6714),
    make_white("D75", 0.299023f, 0.314963f, 7500),
    make_white("D93", 0.28314f, 0.29711f, 9300),
    make_white("A", 0.447593f, 0.407539f, 2856),
    make_white("B", 0.348483f, 0.351747f, 4874),
    make_white("C", 0.310115f, 0.316311f, 6774),
    make_white("E", 0.333334f, 0.333333f, 5454),
    make_white("P3-DCI", 0.314f, 0.351f, 6301),
    make_white("P3-DCI-JUDD", 0.308f, 0.34f, 6664),
};

reference_t init_reference()
{
    reference_t ref{};
    ref.standard = standard_type[DEFAULT_STANDARD];
    ref.white = white_type[DEFAULT_WHITE];
    ref.test_type = EOTF_POWER;
    ref.gamma = 2.4f;
    ref.peak_lum = 0.0f;
    return ref;
}

mat3_t get_primaries_matrix(standard_t s)
{
    mat3_t p;
    const color_block_t *prim[3] = {&s.red, &s.green, &s.blue};
    for (int j = 0; j < 3; j++) {
        const float x = prim[j]->x;
        const float y = prim[j]->y;
        p.m[0][j] = x / y;
        p.m[1][j] = 1.0f;
        p.m[2][j] = (1.0f - x - y) / y;
    }
    return p;
}

void init_ref_matrix(reference_t &ref)
{
    const mat3_t p = get_primaries_matrix(ref.standard);

    color_block_t *w = &ref.white.color;
    get_XYZ_from_xyY(w);
    const vec3_t wc{{w->X, w->Y, w->Z}};

    ref.RGB_to_XYZ = get_RGB_to_XYZ_matrix(p, wc);
    printf_matrix(ref.RGB_to_XYZ);
    ref.XYZ_to_RGB = get_XYZ_to_RGB_matrix(ref);
}
