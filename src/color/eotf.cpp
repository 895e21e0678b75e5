// The EOTF table.
#include "color/eotf.h"

#include <cstring>

#include "color/color.h"

namespace {

// BT.2100's ICtCp for PQ, with ITP's halved T (BT.2124).
constexpr ictcp_weights_t ICTCP_PQ = {
    .Ct = {6610.0, -13613.0, 7003.0}, .Cp = {17933.0, -17390.0, -543.0}, .T_scale = 0.5, .P_scale = 1.0};
// The HLG variant of the colour-difference rows, with its own ITP scales.
constexpr ictcp_weights_t ICTCP_HLG = {
    .Ct = {3625.0, -7465.0, 3840.0}, .Cp = {9500.0, -9212.0, -288.0}, .T_scale = 0.911849, .P_scale = 1.887755};

// HLG takes the HDR gamut signals but the SDR colour-checker signals.
constexpr eotf_row_t rows[] = {
    {.id = EOTF_POWER, .name = "Power", .hdr = false, .expect = get_expect, .gamma = get_gamma_power,
     .gamut = &gamut_stand_sdr, .checker = &colorCheck_stand_sdr, .checker_codes = &colorCheck_stand_sdr_int,
     .clip = CLIP_NONE, .uses_peak_lum = false, .ictcp = nullptr, .panel_label = "Gamma", .reference_white = 100.0f},
    {.id = EOTF_BT1886, .name = "BT.1886", .hdr = false, .expect = get_expect, .gamma = get_gamma_BT_1886,
     .gamut = &gamut_stand_sdr, .checker = &colorCheck_stand_sdr, .checker_codes = &colorCheck_stand_sdr_int,
     .clip = CLIP_NONE, .uses_peak_lum = false, .ictcp = nullptr, .panel_label = "Gamma", .reference_white = 100.0f},
    {.id = EOTF_PQ, .name = "PQ", .hdr = true, .expect = get_expect_ST2084, .gamma = nullptr,
     .gamut = &gamut_stand_hdr, .checker = &colorCheck_stand_hdr, .checker_codes = &colorCheck_stand_hdr_int,
     .clip = CLIP_AT_WHITE, .uses_peak_lum = false, .ictcp = &ICTCP_PQ, .panel_label = "PQ",
     .reference_white = 10000.0f},
    {.id = EOTF_HLG, .name = "HLG", .hdr = true, .expect = get_expect_HLG, .gamma = nullptr,
     .gamut = &gamut_stand_hdr, .checker = &colorCheck_stand_sdr, .checker_codes = &colorCheck_stand_sdr_int,
     .clip = CLIP_NONE, .uses_peak_lum = true, .ictcp = &ICTCP_HLG, .panel_label = "HLG", .reference_white = 1000.0f},
};

}  // namespace

const std::span<const eotf_row_t> eotf_table = rows;

const eotf_row_t *find_eotf(eotf_t id)
{
    for (const eotf_row_t &row : eotf_table)
        if (row.id == id)
            return &row;
    return nullptr;
}

const eotf_row_t *find_eotf(const char *name)
{
    for (const eotf_row_t &row : eotf_table)
        if (strcmp(name, row.name) == 0)
            return &row;
    return nullptr;
}

bool is_hdr(eotf_t e)
{
    const eotf_row_t *row = find_eotf(e);
    return row != nullptr && row->hdr;
}
