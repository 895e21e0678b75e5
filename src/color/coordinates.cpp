// Colour coordinates and conversions: xyY and XYZ, the target's RGB, CIELAB,
// the target's matrices and its secondaries.
#include <cmath>
#include <cstdio>

#include "color/color.h"
#include "color/reference.h"
#include "color/tolerance.h"

void get_XYZ_from_xyY(color_block_t *c)
{
    if (c == nullptr) {
        puts("warning:color is NULL!");
        return;
    }
    if (near_zero(c->y)) {
        c->X = 0.0f;
        c->Y = 0.0f;
        c->Z = 0.0f;
        return;
    }
    c->X = c->x * c->Y / c->y;
    c->Z = static_cast<float>((1.0 - static_cast<double>(c->x) - static_cast<double>(c->y)) *
                              static_cast<double>(c->Y) / static_cast<double>(c->y));
}

void get_xyY_from_XYZ(color_block_t *c)
{
    if (c == nullptr) {
        puts("warning:color is NULL!");
        return;
    }
    const float s = c->X + c->Y + c->Z;
    if (s == 0.0f) {
        c->x = 0.0f;
        c->y = 0.0f;
        return;
    }
    c->x = c->X / s;
    c->y = c->Y / s;
}

void get_XYZ_from_RGB(const reference_t &ref, color_block_t *c)
{
    const vec3_t xyz = mul_matrix(ref.RGB_to_XYZ, vec3_t{{c->R, c->G, c->B}});
    c->X = xyz.v[0];
    c->Y = xyz.v[1];
    c->Z = xyz.v[2];
}

float Fratio(float t)
{
    if (static_cast<double>(t - 0.008856452f) > EPS)
        return static_cast<float>(std::pow(static_cast<double>(t), 0.3333333333333333));
    return static_cast<float>(7.787037 * static_cast<double>(t) + 0.137931);
}

void get_Lab_from_XYZ(color_block_t *c, color_block_t white)
{
    if (c == nullptr) {
        puts("warning:test is NULL!");
        return;
    }
    const float fX = Fratio(c->X / white.X);
    const float fY = Fratio(c->Y / white.Y);
    const float fZ = Fratio(c->Z / white.Z);
    c->L = static_cast<float>(116.0 * static_cast<double>(fY) - 16.0);
    c->a = (fX - fY) * 500.0f;
    c->b = (fY - fZ) * 200.0f;
}

white_t get_user_defined_white(const reference_t &ref, float luminance)
{
    white_t w{};
    const color_block_t &white = ref.white.color;
    const float k = luminance / white.Y;
    w.name = "user_defined";
    w.color.X = white.X * k;
    w.color.Y = luminance;
    w.color.Z = white.Z * k;
    w.cct = 0;
    return w;
}

mat3_t get_RGB_to_XYZ_matrix(const mat3_t &primaries, const vec3_t &white)
{
    // Scale each primary's column so that RGB (1, 1, 1) lands on the white
    // at Y = 1.
    const vec3_t s = mul_matrix(get_inver_matrix(primaries), white);
    const float Yw = white.v[1];
    mat3_t d;
    for (int i = 0; i < 3; i++)
        d.m[i][i] = s.v[i] / Yw;
    return mul_matrix(primaries, d);
}

mat3_t get_XYZ_to_RGB_matrix(const reference_t &ref)
{
    return get_inver_matrix(ref.RGB_to_XYZ);
}

void update_secondary(const reference_t &ref, color_block_t *out, const color_block_t *c1,
                      const color_block_t *c2, const color_block_t *c3)
{
    // The point of edge c1-c2 on the line through c3 and the white point.
    const float xW = ref.white.color.x;
    const float yW = ref.white.color.y;
    const float dx = c2->x - c1->x;
    const float dy = c2->y - c1->y;
    const float p = (xW - c1->x) / dx;
    const float q = (c3->x - xW) / (dx * (c3->y - yW));
    const float r = (c3->x - xW) * dy / (dx * (c3->y - yW));
    const float num = p + q * (c1->y - yW);
    const float t = static_cast<float>(static_cast<double>(num) / (1.0 - static_cast<double>(r)));
    out->x = c1->x + t * dx;
    out->y = c1->y + t * dy;
    out->Y = c1->Y + c2->Y;
    get_XYZ_from_xyY(out);
}

void print_xyY(const color_block_t *c)
{
    printf("color x = %f, y = %f, Y = %f\n", static_cast<double>(c->x), static_cast<double>(c->y),
           static_cast<double>(c->Y));
}
