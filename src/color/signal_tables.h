// The nominal test signals of the gamut and colour-checker patches. A target's
// EOTF row (color/eotf.h) says which table each set is matched against.
#pragma once
#include <array>
#include <cstdint>

inline constexpr int GAMUT_COUNT = 7;
inline constexpr int CHECK_COUNT = 18;

using signal_row_t = std::array<float, 3>;
using code_row_t = std::array<int32_t, 3>;
using gamut_table_t = std::array<signal_row_t, GAMUT_COUNT>;
using checker_table_t = std::array<signal_row_t, CHECK_COUNT>;
using checker_codes_t = std::array<code_row_t, CHECK_COUNT>;

// Gamut rows in slot order: white, red, green, blue, cyan, magenta, yellow.
extern const gamut_table_t gamut_stand_sdr;
extern const gamut_table_t gamut_stand_hdr;
// Colour-checker rows in slot order, as signals and as their 8-bit codes.
extern const checker_table_t colorCheck_stand_sdr;
extern const checker_table_t colorCheck_stand_hdr;
extern const checker_codes_t colorCheck_stand_sdr_int;
extern const checker_codes_t colorCheck_stand_hdr_int;
