// How a fuzz input becomes a job, without the toolkit: shared by the fuzz
// targets, the hardening tests and the cross-architecture check.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "color/reference.h"
#include "config/configure.h"

namespace fuzz_input {

// The target picked by an input's first byte: the EOTF row by the byte modulo
// the number of rows (bits 0-1 while there are four), the colour space in
// bits 2-4, the white in bits 5-7.
inline reference_t target_of(uint8_t pick)
{
    reference_t ref = init_reference();
    ref.test_type = eotf_table[pick % eotf_table.size()].id;
    ref.standard = standard_type[(pick >> 2) % standard_type.size()];
    ref.white = white_type[(pick >> 5) % white_type.size()];
    init_ref_matrix(ref);
    return ref;
}

// Test data: the first byte picks the target, the rest is the file, written
// to `path`. False when `path` cannot be written.
inline bool load_test_data(const uint8_t *data, size_t size, const std::string &path, reference_t &target)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    if (size > 1)
        fwrite(data + 1, 1, size - 1, f);
    fclose(f);
    target = target_of(size > 0 ? data[0] : 0);
    return true;
}

// Command line: the input's lines are the arguments after the program name,
// read into `settings` from the defaults. Returns read_configure's result.
inline int configure_from_lines(const uint8_t *data, size_t size, settings_t &settings)
{
    constexpr size_t max_args = 64;
    std::vector<std::string> args{"analyzer"};
    std::string current;
    for (size_t i = 0; i < size && args.size() < max_args; ++i) {
        if (data[i] == '\n') {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() && args.size() < max_args)
        args.push_back(current);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    settings = default_settings();
    return read_configure(static_cast<int>(argv.size()) - 1, argv.data(), settings);
}

// The sample of the target's EOTF in `samples_dir`, or of its report kind
// when none was measured for it; empty when the EOTF has no row.
inline std::string sample_of_eotf(const reference_t &target, const std::string &samples_dir)
{
    struct sample_t {
        eotf_t eotf;
        const char *file;
    };
    static constexpr sample_t samples[] = {{EOTF_POWER, "sdr_ideal_power24.csv"},
                                           {EOTF_BT1886, "sdr_ideal_bt1886.csv"},
                                           {EOTF_PQ, "pq_ideal_600.csv"},
                                           {EOTF_HLG, "hlg_ideal.csv"}};
    const eotf_row_t *row = find_eotf(target.test_type);
    if (row == nullptr)
        return "";
    const char *file = row->hdr ? "pq_ideal_600.csv" : "sdr_ideal_power24.csv";
    for (const sample_t &s : samples)
        if (s.eotf == row->id)
            file = s.file;
    return samples_dir + "/" + file;
}

}  // namespace fuzz_input
