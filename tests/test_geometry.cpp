// The toolkit-free chart geometry: values to screen pixels, at the edges of
// each chart's range (expected pixels worked out by hand from the plot areas).
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "charts/geometry/bar_geometry.h"
#include "charts/geometry/cie_geometry.h"
#include "charts/geometry/eotf_geometry.h"

TEST(Geometry, PillarsForOneToThirtyTwoSlots)
{
    // One slot: 4 units of 215 pixels, the pillar on the right two. 32 slots
    // on 680 pixels: units of 680 / 97. Capped at 10, held at the bottom
    // below 0 and for NaN.
    const bar_layout_t &S = SDR_GRAY_DE_BARS, &H = HDR_GRAY_DE2000_BARS;
    for (auto [bars, n, i, v, r] : {std::tuple{S, 1, 0, 12.0f, rect_t{1255, 95, 430, 175}}, {S, 1, 0, 6.0f, {1255, 165, 430, 105}},
                                    {S, 11, 10, NAN, {1824, 270, 51, 0}}, {H, 32, 0, -3.0f, {527, 346, 14, 0}},
                                    {H, 32, 31, 1.5f, {1179, 313, 14, 33}}})
        EXPECT_EQ(pillar_rect(bars, n, i, v), r) << n << " slots, " << i << ": " << v;
}

TEST(Geometry, SdrEotfScaleComesFromTheWhiteAlone)
{
    // The next tenth above the white's PQ value (0.05 headroom, 0.1 with a
    // super white), at most 1.0; no white: an empty y range.
    for (auto [super, max_E, max_y, rows] :
         {std::tuple{false, 0.51f, 0.6f, 6}, {true, 0.51f, 0.7f, 7}, {false, 0.96f, 1.0f, 10},
          {false, 1.2f, 1.0f, 10}, {false, 1e30f, 1.0f, 10}, {false, 0.0f, 0.0f, 0}, {true, NAN, 0.0f, 0}}) {
        const sdr_eotf_scale_t s = sdr_eotf_scale(super, max_E);
        EXPECT_FLOAT_EQ(s.max_y, max_y) << max_E;
        EXPECT_EQ(sdr_eotf_rows(s), rows) << max_E;
    }
    const sdr_eotf_scale_t s = sdr_eotf_scale(false, 0.51f);
    for (auto [x, y, p] : {std::tuple{0.5f, 0.3f, pixel_t{1470, 560}}, {1.2f, 1.2f, {1900, 330}},
                           {-1.0f, -1.0f, {1040, 790}}, {NAN, NAN, {1040, 790}}})
        EXPECT_EQ(sdr_eotf_point(s, x, y), p) << x << ", " << y;
    // Without a white every point lies on the top edge, with no division by zero.
    EXPECT_EQ(sdr_eotf_point(sdr_eotf_scale(false, 0.0f), 0.5f, 0.3f), (pixel_t{1470, 330}));
    EXPECT_EQ(sdr_curve_point(SDR_EOTF_PLOT, s, sdr_curve_signal(s, 20), NAN), (pixel_t{1900, 790}));
}

TEST(Geometry, EotfTicksHdrPointsAndCurves)
{
    for (auto [steps, i, x, lx, w] : {std::tuple{10, 1, 1126, 1082, 86}, {11, 1, 1118, 1078, 78}, {10, 10, 1900, 1856, 86}}) {
        const signal_tick_t t = signal_tick(SDR_EOTF_PLOT, steps, i);
        EXPECT_EQ(std::tie(t.x, t.label_x, t.label_width), std::tie(x, lx, w)) << steps << ", " << i;
    }
    // E' is held in the plot, the signal is not; NaN goes to the lower edges.
    for (auto [s, v, p] : {std::tuple{0.0f, 0.0f, pixel_t{1220, 692}}, {1.0f, 1.0f, {1900, 80}},
                           {0.5f, 0.5f, {1560, 386}}, {1.2f, 1.2f, {2036, 80}}, {0.5f, -0.1f, {1560, 692}},
                           {NAN, NAN, {1220, 692}}})
        EXPECT_EQ(hdr_eotf_point(s, v), p) << s << ", " << v;
    // The reference curves without a white's PQ value: flat on the bottom.
    const pq_curve_t none = pq_curve(HDR_EOTF_PLOT, NAN);
    EXPECT_EQ(std::tie(none.knee_x, none.knee_y), std::tuple(1220, 692));
    EXPECT_EQ(hlg_curve_point(HDR_EOTF_PLOT, 20, NAN), (pixel_t{1900, 692}));
}

TEST(Geometry, CieChromaticityHeldInTheDiagram)
{
    for (auto [x, y, p] : {std::tuple{0.0f, 0.0f, pixel_t{520, 790}}, {0.9f, 0.9f, {1020, 330}},
                           {1.0f, 1.0f, {1020, 330}}, {-0.1f, -0.1f, {520, 790}}, {0.312712f, 0.329008f, {694, 622}},
                           {0.64f, 0.33f, {876, 621}}, {0.15f, 0.06f, {603, 759}}, {NAN, NAN, {520, 790}}})
        EXPECT_EQ(cie_point(x, y), p) << x << ", " << y;
}
