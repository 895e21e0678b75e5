// The nominal test signals of the gamut and colour-checker patches, for SDR
// and HDR targets.
#include "color/signal_tables.h"

#include <cstddef>

// Gamut rows in slot order: white, red, green, blue, cyan, magenta, yellow.
const gamut_table_t gamut_stand_sdr = {{
    {0.780392f, 0.780392f, 0.780392f},
    {0.780392f, 0.0f, 0.0f},
    {0.0f, 0.780392f, 0.0f},
    {0.0f, 0.0f, 0.780392f},
    {0.0f, 0.780392f, 0.780392f},
    {0.780392f, 0.0f, 0.780392f},
    {0.780392f, 0.780392f, 0.0f},
}};

const gamut_table_t gamut_stand_hdr = {{
    {0.509803f, 0.509803f, 0.509803f},
    {0.509803f, 0.0f, 0.0f},
    {0.0f, 0.509803f, 0.0f},
    {0.0f, 0.0f, 0.509803f},
    {0.0f, 0.509803f, 0.509803f},
    {0.509803f, 0.0f, 0.509803f},
    {0.509803f, 0.509803f, 0.0f},
}};

// Colour-checker rows in slot order (Dark Skin, Light Skin, Blue Sky, Foliage,
// Blue Flower, Bluish Green, Orange, Purplish Blue, Moderate Red, Purple,
// Yellow Green, Orange Yellow, Blue, Green, Red, Yellow, Magenta, Cyan) as
// their 8-bit codes.
constexpr checker_codes_t colorCheck_stand_sdr_int = {{
    {116, 81, 67}, {199, 147, 129}, {91, 122, 156}, {90, 108, 64},   {130, 128, 176}, {92, 190, 172},
    {224, 124, 47}, {68, 91, 170},  {198, 82, 97},  {94, 58, 106},   {159, 189, 63},  {230, 162, 39},
    {35, 63, 147},  {67, 149, 74},  {180, 49, 57},  {238, 198, 20},  {193, 84, 151},  {84, 128, 154},
}};

constexpr checker_codes_t colorCheck_stand_hdr_int = {{
    {88, 72, 64},   {114, 101, 94}, {79, 91, 103}, {76, 85, 64},   {94, 93, 109},  {81, 113, 107},
    {120, 90, 47},  {68, 77, 106},  {114, 74, 80}, {77, 61, 84},   {104, 112, 62}, {124, 105, 50},
    {53, 61, 102},  {67, 100, 66},  {109, 52, 59}, {126, 116, 39}, {112, 73, 100}, {71, 94, 104},
}};

namespace {

// A code's signal: code / 255 to six decimals.
constexpr float code_signal(int32_t code)
{
    const auto millionths = static_cast<int64_t>(code / 255.0 * 1e6 + 0.5);
    return static_cast<float>(millionths / 1e6);
}

constexpr checker_table_t signals_of(const checker_codes_t &codes)
{
    checker_table_t t{};
    for (std::size_t i = 0; i < codes.size(); ++i)
        for (std::size_t k = 0; k < 3; ++k)
            t[i][k] = code_signal(codes[i][k]);
    return t;
}

}  // namespace

// The signals the patches are shown with are their codes.
constexpr checker_table_t colorCheck_stand_sdr = signals_of(colorCheck_stand_sdr_int);
constexpr checker_table_t colorCheck_stand_hdr = signals_of(colorCheck_stand_hdr_int);
