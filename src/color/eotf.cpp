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

}  // namespace

// HLG takes the HDR gamut signals but the SDR colour-checker signals.
const std::array<eotf_row_t, 4> eotf_table = {{
    {EOTF_POWER, "Power", false, get_expect, get_gamma_power, &gamut_stand_sdr, &colorCheck_stand_sdr,
     &colorCheck_stand_sdr_int, CLIP_NONE, false, nullptr, "Gamma", 100.0f},
    {EOTF_BT1886, "BT.1886", false, get_expect, get_gamma_BT_1886, &gamut_stand_sdr, &colorCheck_stand_sdr,
     &colorCheck_stand_sdr_int, CLIP_NONE, false, nullptr, "Gamma", 100.0f},
    {EOTF_PQ, "PQ", true, get_expect_ST2084, nullptr, &gamut_stand_hdr, &colorCheck_stand_hdr,
     &colorCheck_stand_hdr_int, CLIP_AT_WHITE, false, &ICTCP_PQ, "PQ", 10000.0f},
    {EOTF_HLG, "HLG", true, get_expect_HLG, nullptr, &gamut_stand_hdr, &colorCheck_stand_sdr,
     &colorCheck_stand_sdr_int, CLIP_NONE, true, &ICTCP_HLG, "HLG", 1000.0f},
}};

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
