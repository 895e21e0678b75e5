// Generates the analyzer's report artwork (logo, title bar, chart icons,
// chart backgrounds, the CIE 1931 xy diagram, markers and verdict badges) as
// RGBA PNG files, and optionally a contact sheet for reviewing them.
//
//   make_artwork <device root> <cie1931 csv> [<contact sheet dir>]
//
// Each image of the program's table (src/draw/images.h) is written to its
// device path under the root.
//
// Everything is drawn with a small anti-aliased RGBA canvas; nothing is
// loaded from outside except the colour-matching table.
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "charts/geometry/cie_geometry.h"
#include "draw/images.h"

namespace {

// A colour with straight (non-premultiplied) alpha, channels 0..1.
struct colour {
    float r = 0, g = 0, b = 0, a = 1;
};

colour rgb8(int r, int g, int b, float a = 1.0f)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

colour mix(colour p, colour q, float t)
{
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t,
            p.a + (q.a - p.a) * t};
}

struct point {
    double x = 0, y = 0;
};

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

// Distance from p to the segment a-b.
double segment_distance(point p, point a, point b)
{
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2) : 0.0;
    double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

// Even-odd point-in-polygon test.
bool inside_polygon(const std::vector<point> &poly, point p)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const point &a = poly[i], &b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

// The largest 8-bit colour that stays at or below alpha a once the toolkit
// premultiplies it, both as c * (a + 1) >> 8 (C) and as c * (a + 2) >> 8
// (NEON, aarch64): a colour above its alpha overflows when blended, a black
// dot on a white report. 255 for an opaque pixel.
constexpr unsigned char max_safe_colour(int a)
{
    return static_cast<unsigned char>((256 * (a + 1) - 1) / (a + 2));
}

// RGBA canvas, premultiplied floats internally. Pixel (i, j) covers
// [i, i+1) x [j, j+1), so its centre is (i + 0.5, j + 0.5).
struct canvas {
    int w, h;
    std::vector<colour> px;  // premultiplied

    canvas(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height, {0, 0, 0, 0}) {}

    colour &at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const colour &at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }

    // Source-over of colour c with extra coverage cov.
    void blend(int x, int y, colour c, double cov)
    {
        if (x < 0 || y < 0 || x >= w || y >= h || cov <= 0)
            return;
        float a = c.a * static_cast<float>(std::min(cov, 1.0));
        colour &d = at(x, y);
        d.r = c.r * a + d.r * (1 - a);
        d.g = c.g * a + d.g * (1 - a);
        d.b = c.b * a + d.b * (1 - a);
        d.a = a + d.a * (1 - a);
    }

    void clear(colour c)
    {
        for (auto &p : px)
            p = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    }

    // Pixel bounds of a region, clipped to the canvas.
    void bounds(double x0, double y0, double x1, double y1, int &i0, int &j0, int &i1, int &j1) const
    {
        i0 = std::max(0, static_cast<int>(std::floor(x0)));
        j0 = std::max(0, static_cast<int>(std::floor(y0)));
        i1 = std::min(w - 1, static_cast<int>(std::ceil(x1)));
        j1 = std::min(h - 1, static_cast<int>(std::ceil(y1)));
    }

    // Fills the shape given by `dist`, a signed distance (negative inside) in
    // pixels; a one-pixel ramp at the edge gives the anti-aliasing.
    void fill_distance(double x0, double y0, double x1, double y1,
                       const std::function<double(point)> &dist, const std::function<colour(point)> &col)
    {
        int i0, j0, i1, j1;
        bounds(x0 - 1, y0 - 1, x1 + 1, y1 + 1, i0, j0, i1, j1);
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                point p{i + 0.5, j + 0.5};
                double cov = clamp01(0.5 - dist(p));
                if (cov > 0)
                    blend(i, j, col(p), cov);
            }
    }

    void disc(double cx, double cy, double r, colour c)
    {
        fill_distance(cx - r, cy - r, cx + r, cy + r,
                      [&](point p) { return std::hypot(p.x - cx, p.y - cy) - r; },
                      [&](point) { return c; });
    }

    void ring(double cx, double cy, double r_out, double r_in, colour c)
    {
        fill_distance(cx - r_out, cy - r_out, cx + r_out, cy + r_out,
                      [&](point p) {
                          double d = std::hypot(p.x - cx, p.y - cy);
                          return std::max(d - r_out, r_in - d);
                      },
                      [&](point) { return c; });
    }

    // A polyline of the given width with round joins and caps; overlapping
    // segments are blended once, so joins of translucent strokes stay even.
    void stroke(const std::vector<point> &pts, double width, colour c, bool closed = false)
    {
        if (pts.empty())
            return;
        double x0 = pts[0].x, y0 = pts[0].y, x1 = x0, y1 = y0;
        for (const point &p : pts) {
            x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
        }
        double hw = width / 2;
        size_t n = pts.size();
        size_t segs = closed ? n : n - 1;
        fill_distance(x0 - hw, y0 - hw, x1 + hw, y1 + hw,
                      [&](point p) {
                          double d = segs == 0 ? std::hypot(p.x - pts[0].x, p.y - pts[0].y) : 1e9;
                          for (size_t k = 0; k < segs; ++k)
                              d = std::min(d, segment_distance(p, pts[k], pts[(k + 1) % n]));
                          return d - hw;
                      },
                      [&](point) { return c; });
    }

    void line(double xa, double ya, double xb, double yb, double width, colour c)
    {
        stroke({{xa, ya}, {xb, yb}}, width, c);
    }

    // Fills a polygon with ss x ss samples per pixel; col gives the colour at
    // each pixel centre, so gradients are possible.
    void polygon(const std::vector<point> &poly, const std::function<colour(point)> &col, int ss = 4)
    {
        double x0 = poly[0].x, y0 = poly[0].y, x1 = x0, y1 = y0;
        for (const point &p : poly) {
            x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
        }
        int i0, j0, i1, j1;
        bounds(x0, y0, x1, y1, i0, j0, i1, j1);
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                int hits = 0;
                for (int sy = 0; sy < ss; ++sy)
                    for (int sx = 0; sx < ss; ++sx)
                        hits += inside_polygon(poly, {i + (sx + 0.5) / ss, j + (sy + 0.5) / ss});
                if (hits)
                    blend(i, j, col({i + 0.5, j + 0.5}), static_cast<double>(hits) / (ss * ss));
            }
    }

    void polygon(const std::vector<point> &poly, colour c) { polygon(poly, [&](point) { return c; }); }

    void rect(int x, int y, int rw, int rh, colour c)
    {
        for (int j = y; j < y + rh; ++j)
            for (int i = x; i < x + rw; ++i)
                blend(i, j, c, 1.0);
    }

    // Draws src scaled into the rectangle (x, y, dw, dh), averaging n x n
    // nearest-pixel samples per target pixel (a box filter when shrinking,
    // plain nearest neighbour when enlarging by a whole factor).
    void draw(const canvas &src, int x, int y, int dw, int dh, int n = 4)
    {
        for (int j = 0; j < dh; ++j)
            for (int i = 0; i < dw; ++i) {
                colour sum{0, 0, 0, 0};
                for (int sy = 0; sy < n; ++sy)
                    for (int sx = 0; sx < n; ++sx) {
                        int u = static_cast<int>((i + (sx + 0.5) / n) * src.w / dw);
                        int v = static_cast<int>((j + (sy + 0.5) / n) * src.h / dh);
                        const colour &s = src.at(std::min(u, src.w - 1), std::min(v, src.h - 1));
                        sum.r += s.r, sum.g += s.g, sum.b += s.b, sum.a += s.a;
                    }
                float k = 1.0f / (n * n);
                int tx = x + i, ty = y + j;
                if (tx < 0 || ty < 0 || tx >= w || ty >= h)
                    continue;
                colour &d = at(tx, ty);
                float a = sum.a * k;
                d.r = sum.r * k + d.r * (1 - a);
                d.g = sum.g * k + d.g * (1 - a);
                d.b = sum.b * k + d.b * (1 - a);
                d.a = a + d.a * (1 - a);
            }
    }

    void draw(const canvas &src, int x, int y) { draw(src, x, y, src.w, src.h, 1); }

    // Copies the (cw x ch) window of src centred horizontally and vertically,
    // the way an image shown with "fill outside" at its own scale is cropped.
    canvas crop_centre(int cw, int ch) const
    {
        canvas out(cw, ch);
        int ox = (w - cw) / 2, oy = (h - ch) / 2;
        for (int j = 0; j < ch; ++j)
            for (int i = 0; i < cw; ++i) {
                int u = std::clamp(ox + i, 0, w - 1), v = std::clamp(oy + j, 0, h - 1);
                out.at(i, j) = at(u, v);
            }
        return out;
    }

    bool write_png(const std::string &path) const
    {
        std::vector<unsigned char> bytes(px.size() * 4);
        for (size_t k = 0; k < px.size(); ++k) {
            const colour &p = px[k];
            float a = std::clamp(p.a, 0.0f, 1.0f);
            auto chan = [&](float v) {
                float s = a > 0 ? v / a : 0.0f;
                return static_cast<unsigned char>(std::lround(std::clamp(s, 0.0f, 1.0f) * 255.0f));
            };
            const unsigned char alpha = static_cast<unsigned char>(std::lround(a * 255.0f));
            const unsigned char top = max_safe_colour(alpha);
            bytes[k * 4 + 0] = std::min(chan(p.r), top);
            bytes[k * 4 + 1] = std::min(chan(p.g), top);
            bytes[k * 4 + 2] = std::min(chan(p.b), top);
            bytes[k * 4 + 3] = alpha;
        }
        png_image img{};
        img.version = PNG_IMAGE_VERSION;
        img.width = static_cast<png_uint_32>(w);
        img.height = static_cast<png_uint_32>(h);
        img.format = PNG_FORMAT_RGBA;
        if (!png_image_write_to_file(&img, path.c_str(), 0, bytes.data(), 0, nullptr)) {
            std::fprintf(stderr, "make_artwork: cannot write %s: %s\n", path.c_str(), img.message);
            return false;
        }
        return true;
    }
};

// ---------------------------------------------------------------------------
// Colour science for the chromaticity diagram.

// sRGB opto-electronic transfer function.
double srgb_encode(double v)
{
    v = clamp01(v);
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

// A displayable colour for chromaticity (x, y): linear sRGB of xyY with Y = 1,
// out-of-gamut colours pulled toward white by adding the negative part to all
// channels, scaled to full brightness, then gamma-encoded. The scale uses a
// 6-norm rather than the plain maximum channel, which softens the creases
// along the lines from white to the primaries.
colour chromaticity_colour(double x, double y)
{
    double X = x / y, Z = (1 - x - y) / y;
    double r = 3.2406 * X - 1.5372 - 0.4986 * Z;
    double g = -0.9689 * X + 1.8758 + 0.0415 * Z;
    double b = 0.0557 * X - 0.2040 + 1.0570 * Z;
    double lo = std::min({r, g, b});
    if (lo < 0)
        r -= lo, g -= lo, b -= lo;
    double hi = std::pow(std::pow(r, 6) + std::pow(g, 6) + std::pow(b, 6), 1.0 / 6);
    if (hi <= 0)
        return {0, 0, 0, 1};
    return {static_cast<float>(srgb_encode(r / hi)), static_cast<float>(srgb_encode(g / hi)),
            static_cast<float>(srgb_encode(b / hi)), 1};
}

// Spectral locus chromaticities from the colour-matching table
// (wavelength_nm,x_bar,y_bar,z_bar; '#' lines and the header skipped).
std::vector<point> read_locus(const std::string &csv_path)
{
    std::vector<point> locus;
    std::ifstream in(csv_path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream s(line);
        double nm, xb, yb, zb;
        if (!(s >> nm >> xb >> yb >> zb))
            continue;  // header
        double sum = xb + yb + zb;
        if (sum > 0)
            locus.push_back({xb / sum, yb / sum});
    }
    return locus;
}

// Geometry of the diagram image: the chart's plot, x 0..0.9 across, y 0.9..0
// down.
constexpr int cie_w = static_cast<int>(CIE_PLOT.width), cie_h = static_cast<int>(CIE_PLOT.height);
constexpr double cie_span = CIE_SPAN;

point cie_pixel(double x, double y)
{
    return {x / cie_span * cie_w, (cie_span - y) / cie_span * cie_h};
}

// ---------------------------------------------------------------------------
// The images, one function each.

const colour ink = rgb8(225, 225, 225);       // light strokes of the icons
const colour tile = rgb8(30, 32, 36);         // dark icon tile, readable on the bar and on white
const colour tile_edge = rgb8(78, 82, 90);

// Product logo: a gamut triangle shaded from its primaries, with a white
// centre, inside a ring. The bottom rows stay clear: the window's title text
// is drawn over them (at 11, 180 within the logo).
canvas make_logo()
{
    canvas c(200, 200);
    const double cx = 100, cy = 86;
    c.disc(cx, cy, 80, rgb8(22, 24, 28));
    c.ring(cx, cy, 80, 73, rgb8(210, 212, 218));
    c.ring(cx, cy, 70, 68.5, rgb8(70, 74, 82));

    // Equilateral triangle, apex up, its centroid a little below the centre.
    const double r = 56;
    auto vert = [&](double deg) {
        double a = deg * M_PI / 180;
        return point{cx + r * std::cos(a), cy - r * std::sin(a) + 7};
    };
    point g = vert(90), b = vert(210), rd = vert(330);
    std::vector<point> tri{g, rd, b};
    const std::array<colour, 3> prim{rgb8(255, 40, 40), rgb8(40, 230, 70), rgb8(50, 90, 255)};
    auto shade = [&](point p) {
        // Barycentric weights of red, green and blue.
        double den = (g.y - b.y) * (rd.x - b.x) + (b.x - g.x) * (rd.y - b.y);
        double wr = ((g.y - b.y) * (p.x - b.x) + (b.x - g.x) * (p.y - b.y)) / den;
        double wg = ((b.y - rd.y) * (p.x - b.x) + (rd.x - b.x) * (p.y - b.y)) / den;
        double wb = 1 - wr - wg;
        wr = clamp01(wr), wg = clamp01(wg), wb = clamp01(wb);
        double rr = wr * prim[0].r + wg * prim[1].r + wb * prim[2].r;
        double gg = wr * prim[0].g + wg * prim[1].g + wb * prim[2].g;
        double bb = wr * prim[0].b + wg * prim[1].b + wb * prim[2].b;
        double hi = std::max({rr, gg, bb, 1e-6});
        return colour{static_cast<float>(rr / hi), static_cast<float>(gg / hi), static_cast<float>(bb / hi), 1};
    };
    c.polygon(tri, shade);
    c.stroke(tri, 2.2, rgb8(235, 235, 240), true);
    // White point in the middle of the gamut.
    point mid{(g.x + b.x + rd.x) / 3, (g.y + b.y + rd.y) / 3};
    c.disc(mid.x, mid.y, 6, rgb8(20, 20, 20));
    c.disc(mid.x, mid.y, 4.2, rgb8(255, 255, 255));
    return c;
}

// Title bar: a vertical grey gradient with a highlight at the top and a
// shadow at the bottom. The image is shown with "fill outside" (aspect kept,
// overflow cropped) at (chart width + 1) x 40, so it is as wide as the widest
// bar: it is then shown at its own scale and only cropped sideways, keeping
// the gradient intact. Rows are uniform, so any crop looks the same.
canvas make_title_bar()
{
    canvas c(1920, 40);
    for (int j = 0; j < c.h; ++j) {
        colour col = mix(rgb8(72, 74, 78), rgb8(48, 49, 52), j / 39.0f);
        if (j == 0)
            col = rgb8(96, 98, 104);
        if (j == 39)
            col = rgb8(30, 30, 32);
        for (int i = 0; i < c.w; ++i)
            c.blend(i, j, col, 1.0);
    }
    return c;
}

// The dark rounded tile behind every chart icon.
canvas icon_tile()
{
    canvas c(40, 40);
    std::vector<point> sq{{9, 9}, {31, 9}, {31, 31}, {9, 31}};
    c.stroke(sq, 14, tile_edge, true);
    c.polygon(sq, tile_edge);
    std::vector<point> inner{{9, 9}, {31, 9}, {31, 31}, {9, 31}};
    c.stroke(inner, 12, tile, true);
    c.polygon(inner, tile);
    return c;
}

// Luminance: axes and a rising gamma curve.
canvas make_icon_luma()
{
    canvas c = icon_tile();
    c.stroke({{9, 8}, {9, 31}, {32, 31}}, 1.5, rgb8(130, 134, 142));
    std::vector<point> curve;
    for (int k = 0; k <= 24; ++k) {
        double t = k / 24.0;
        curve.push_back({9 + 22 * t, 31 - 22 * std::pow(t, 2.2)});
    }
    c.stroke(curve, 2.4, rgb8(255, 220, 60));
    return c;
}

// Colour difference: a "ΔE" mark.
canvas make_icon_dE()
{
    canvas c = icon_tile();
    c.stroke({{13, 10}, {20.5, 29}, {5.5, 29}}, 2.4, ink, true);
    c.stroke({{34, 10}, {25, 10}, {25, 29}, {34, 29}}, 2.4, ink);
    c.line(25, 19.5, 32, 19.5, 2.4, ink);
    return c;
}

// Gamut: a triangle with coloured corners.
canvas make_icon_gamut()
{
    canvas c = icon_tile();
    point g{17, 8}, rd{32, 27}, b{9, 31};
    c.stroke({g, rd, b}, 1.8, ink, true);
    c.disc(rd.x, rd.y, 3.6, rgb8(255, 70, 70));
    c.disc(g.x, g.y, 3.6, rgb8(70, 230, 90));
    c.disc(b.x, b.y, 3.6, rgb8(80, 120, 255));
    c.disc((g.x + rd.x + b.x) / 3, (g.y + rd.y + b.y) / 3, 2.0, ink);
    return c;
}

// Plot overlay: fully transparent so the grid and dark background show.
canvas make_bg_trans()
{
    return canvas(16, 16);
}

// The CIE 1931 xy chromaticity diagram over x 0..0.9, y 0..0.9.
canvas make_cie(const std::vector<point> &locus_xy)
{
    canvas c(cie_w, cie_h);
    std::vector<point> poly;
    for (const point &p : locus_xy)
        poly.push_back(cie_pixel(p.x, p.y));
    // Dimmed so the target triangle and markers stay visible on top.
    const float dim = 0.78f;
    c.polygon(poly, [&](point p) {
        double x = p.x / cie_w * cie_span, y = cie_span - p.y / cie_h * cie_span;
        colour col = chromaticity_colour(x, std::max(y, 1e-4));
        return colour{col.r * dim, col.g * dim, col.b * dim, 1};
    });
    c.stroke(poly, 1.3, rgb8(205, 205, 205), true);  // closing side is the purple line
    return c;
}

// Target marker: a white ring with dark borders and a see-through centre.
canvas make_round_marker()
{
    canvas c(15, 15);
    c.ring(7.5, 7.5, 7.2, 2.3, rgb8(15, 15, 15));
    c.ring(7.5, 7.5, 6.0, 3.5, rgb8(255, 255, 255));
    return c;
}

// Measured-point marker: grey square with a white centre.
canvas make_meas_marker()
{
    canvas c(7, 7);
    c.rect(0, 0, 7, 7, rgb8(124, 124, 124));
    c.rect(1, 1, 5, 5, rgb8(255, 255, 255));
    return c;
}

// Verdict badge: a coloured disc with a darker rim and a slight top light.
canvas badge(colour top, colour bottom, colour rim)
{
    canvas c(64, 64);
    c.disc(32, 32, 30.5, rim);
    c.fill_distance(4, 4, 60, 60, [](point p) { return std::hypot(p.x - 32, p.y - 32) - 27.5; },
                    [&](point p) { return mix(top, bottom, static_cast<float>(clamp01((p.y - 4) / 56))); });
    return c;
}

canvas make_result_true()
{
    canvas c = badge(rgb8(70, 200, 90), rgb8(30, 145, 55), rgb8(18, 95, 35));
    c.stroke({{17, 33}, {27.5, 43.5}, {47, 21}}, 7.5, rgb8(255, 255, 255));
    return c;
}

canvas make_result_false()
{
    canvas c = badge(rgb8(235, 75, 70), rgb8(190, 35, 35), rgb8(120, 20, 20));
    c.line(21, 21, 43, 43, 7.5, rgb8(255, 255, 255));
    c.line(43, 21, 21, 43, 7.5, rgb8(255, 255, 255));
    return c;
}

// ---------------------------------------------------------------------------
// Contact sheet: every image at its drawn size on the dark window colour and
// on white, plus enlarged copies of the small ones.

struct artwork {
    canvas logo, title, luma, dE, gamut, bg, cie, round, meas, yes, no;
};

void sheet_panel(canvas &s, const artwork &a, int ox, colour back)
{
    s.rect(ox, 0, 760, s.h, back);
    s.draw(a.logo, ox + 20, 20);
    // Where the window's title text goes over the logo.
    colour text_area = rgb8(200, 200, 200, 0.35f);
    s.rect(ox + 20 + 11, 20 + 180, 170, 24, text_area);

    // Title bars as shown on the 500- and 860-wide charts, with icon and verdict.
    int ty = 320;
    for (int bw : {501, 701}) {
        if (back.r < 0.5f)  // the light style hides the bar
            s.draw(a.title.crop_centre(bw, 40), ox + 20, ty);
        s.draw(a.dE, ox + 20, ty);
        s.draw(a.yes, ox + 20 + bw - 39, ty + 1, 38, 38);
        ty += 50;
    }
    int x = ox + 240;
    for (const canvas *ic : {&a.luma, &a.dE, &a.gamut}) {
        s.draw(*ic, x, 20);
        x += 50;
    }
    s.draw(a.yes, ox + 240, 80, 38, 38);
    s.draw(a.no, ox + 290, 80, 38, 38);
    s.draw(a.yes, ox + 340, 84, 30, 30);
    s.draw(a.no, ox + 380, 84, 30, 30);
    s.draw(a.round, ox + 430, 92);
    s.draw(a.meas, ox + 460, 96);

    // Enlarged x4 copies of the icons and markers for close inspection.
    x = ox + 240;
    for (const canvas *ic : {&a.luma, &a.dE, &a.gamut}) {
        s.draw(*ic, x, 130, 160, 160);
        x += 170;
    }
    s.draw(a.round, ox + 20, 240, 60, 60);
    s.draw(a.meas, ox + 100, 256, 28, 28);

    // The diagram over the plot background with the 0.1 grid, the sRGB
    // triangle and D65 marked, and a measured marker just above D65.
    int px = ox + 240, py = 420;
    if (back.r < 0.5f)
        s.rect(px, py, cie_w, cie_h, rgb8(32, 32, 32));
    s.draw(a.cie, px, py);
    colour grid = rgb8(110, 110, 110);
    for (int k = 0; k <= 9; ++k) {
        int gx = px + static_cast<int>(k / 9.0 * cie_w + 0.5);
        int gy = py + static_cast<int>(k / 9.0 * cie_h + 0.5);
        s.rect(std::min(gx, px + cie_w - 1), py, 1, cie_h, grid);
        s.rect(px, std::min(gy, py + cie_h - 1), cie_w, 1, grid);
    }
    auto at = [&](double x_, double y_) {
        point p = cie_pixel(x_, y_);
        return point{px + static_cast<int>(p.x + 0.5) + 0.0, py + static_cast<int>(p.y + 0.5) + 0.0};
    };
    point r = at(0.64, 0.33), g = at(0.30, 0.60), b = at(0.15, 0.06), w = at(0.3127, 0.329);
    s.stroke({r, g, b}, 1.0, rgb8(30, 30, 30), true);
    for (point p : {r, g, b, w})
        s.draw(a.round, static_cast<int>(p.x) - 7, static_cast<int>(p.y) - 7);
    s.draw(a.meas, static_cast<int>(w.x) - 3, static_cast<int>(w.y) - 3 - 40);
}

canvas make_contact_sheet(const artwork &a)
{
    canvas s(1520, 900);
    sheet_panel(s, a, 0, rgb8(37, 37, 37));
    sheet_panel(s, a, 760, rgb8(255, 255, 255));
    return s;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <device root> <cie1931 csv> [<contact sheet dir>]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    std::vector<point> locus = read_locus(argv[2]);
    if (locus.size() < 10) {
        std::fprintf(stderr, "make_artwork: no colour-matching data in %s\n", argv[2]);
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(root + IMAGE_DIR, ec);

    artwork a{make_logo(),       make_title_bar(),     make_icon_luma(),   make_icon_dE(),
              make_icon_gamut(), make_bg_trans(),      make_cie(locus),    make_round_marker(),
              make_meas_marker(), make_result_true(), make_result_false()};

    // Each image at its row of the program's table; a row without an image
    // fails the build.
    std::array<const canvas *, IMAGE_COUNT> images{};
    images[IMAGE_LOGO] = &a.logo;
    images[IMAGE_TITLE_BAR] = &a.title;
    images[IMAGE_ICON_LUMA] = &a.luma;
    images[IMAGE_ICON_DE] = &a.dE;
    images[IMAGE_ICON_GAMUT] = &a.gamut;
    images[IMAGE_BG_TRANS] = &a.bg;
    images[IMAGE_CIE_1931] = &a.cie;
    images[IMAGE_MARKER] = &a.round;
    images[IMAGE_MEAS_MARKER] = &a.meas;
    images[IMAGE_PASS] = &a.yes;
    images[IMAGE_FAIL] = &a.no;
    bool ok = true;
    for (int id = 0; id < IMAGE_COUNT; ++id) {
        if (images[id] == nullptr) {
            std::fprintf(stderr, "make_artwork: nothing drawn for %s\n", image_path[id]);
            ok = false;
            continue;
        }
        ok = images[id]->write_png(root + image_path[id]) && ok;
    }

    if (argc > 3) {
        std::filesystem::create_directories(argv[3], ec);
        ok = make_contact_sheet(a).write_png((std::filesystem::path(argv[3]) / "contact_sheet.png").string()) && ok;
    }
    return ok ? 0 : 1;
}
