// eval-dump: evaluates jobs as the analyzer does, without the toolkit, and
// prints every value the evaluation stores (target, matrices, every patch's
// colour and results, the verdicts) one per line, exactly, as a hexadecimal
// float and in decimal. Two builds that compute the same bits print the same
// bytes, so the output of the device build under qemu is compared with the
// development machine's by cmp.
//
//   eval-dump [analyzer options]              one job, as the analyzer runs it
//   eval-dump --test-data-corpus FILE...      fuzz inputs: first byte picks the target
//   eval-dump --command-line-corpus SAMPLES FILE...
//                                             fuzz inputs: lines are the options; the
//                                             sample of the chosen EOTF is judged
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../../fuzz/fuzz_input.h"
#include "config/configure.h"
#include "config/reference.h"
#include "measure/measure.h"
#include "measure/verdict.h"

namespace {

// NaN prints without its sign: x86-64 and ARM make NaNs of different sign,
// and no output of the program tells them apart.
void value(const std::string &name, float v)
{
    if (std::isnan(v))
        printf("%s nan\n", name.c_str());
    else
        printf("%s %a %.9g\n", name.c_str(), static_cast<double>(v), static_cast<double>(v));
}

void block(const std::string &name, const color_block_t &c)
{
    const float fields[] = {c.X, c.Y, c.Z, c.R, c.G, c.B, c.x, c.y, c.u, c.v, c.L, c.a, c.b, c.ts0, c.ts1, c.ts2};
    const char *const names[] = {"X", "Y", "Z", "R", "G", "B", "x", "y", "u", "v", "L", "a", "b", "ts0", "ts1", "ts2"};
    for (size_t i = 0; i < std::size(fields); ++i)
        value(name + "." + names[i], fields[i]);
}

void patch(const std::string &name, const color_t &p)
{
    block(name, p.c);
    value(name + ".dE2000", p.dE2000);
    value(name + ".gamma", p.gamma);
    value(name + ".dEITP", p.dEITP);
    value(name + ".dEICTCP_240", p.dEICTCP_240);
    value(name + ".E_prime", p.E_prime);
}

void matrix(const std::string &name, const matrix_t &m)
{
    for (int r = 0; r < m.row; ++r)
        for (int c = 0; c < m.col; ++c)
            value(name + "[" + std::to_string(r) + "][" + std::to_string(c) + "]", m.data[r][c]);
}

std::string at(const char *name, int i)
{
    return std::string(name) + "[" + std::to_string(i) + "]";
}

// The evaluated job: the target as the run left it, the store and the summary.
void dump_job(int kind)
{
    const reference_t &r = *reference;
    printf("target %s %s %d test_type %d kind %d\n", r.standard.name, r.white.name, r.white.cct, r.test_type, kind);
    value("gamma", r.gamma);
    value("white_level", r.white_level);
    value("peak_lum", r.peak_lum);
    value("max_E", r.max_E);
    printf("gray_steps %d\n", r.gray_steps);
    block("white", r.white.color);
    matrix("RGB_to_XYZ", r.RGB_to_XYZ);
    matrix("XYZ_to_RGB", r.XYZ_to_RGB);
    block("yellow", r.yellow);
    block("cyan", r.cyan);
    block("magenta", r.magenta);
    printf("gray_count %d super_white %d hdr_pillars %d\n", test_data_gray_count, flag_super_white,
           hdr_gray_pillar_count);
    for (int i = 0; i < test_data_gray_count && i < GRAY_MAX; ++i)
        patch(at("gray", i), data_gray[i]);
    for (int i = 0; i < GAMUT_COUNT; ++i) {
        printf("%s.measured %d\n", at("gamut", i).c_str(), data_gamut_measured[i] ? 1 : 0);
        patch(at("gamut", i), data_gamut[i]);
    }
    for (int i = 0; i < CHECK_COUNT; ++i) {
        printf("%s.measured %d\n", at("check", i).c_str(), data_check_measured[i] ? 1 : 0);
        patch(at("check", i), data_check[i]);
    }
    for (int i = 0; i < VERDICT_COUNT; ++i) {
        const verdict_t &v = job_summary.verdicts[i];
        value(at("verdict", i) + "." + verdict_limits[i].key, v.value);
        printf("%s.pass %d\n", at("verdict", i).c_str(), v.pass ? 1 : 0);
    }
    fflush(stdout);
}

// Evaluates the file at `path` under the configured target and prints it.
void evaluate(const std::string &label, const char *path)
{
    printf("== %s\n", label.c_str());
    const char *saved = test_file_path;
    test_file_path = path;
    const int kind = fuzz_input::report_kind();
    if (evaluate_measure(kind))
        dump_job(kind);
    else
        printf("not evaluated\n");
    test_file_path = saved;
}

std::string read_file(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const uint8_t *bytes(const std::string &s)
{
    return reinterpret_cast<const uint8_t *>(s.data());
}

int test_data_corpus(int argc, char **argv)
{
    const char *tmp = getenv("TMPDIR");
    const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/eval-dump." +
                             std::to_string(getpid()) + ".csv";
    int rc = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string input = read_file(argv[i]);
        if (!fuzz_input::load_test_data(bytes(input), input.size(), path)) {
            perror(path.c_str());
            rc = 1;
            break;
        }
        evaluate(argv[i], path.c_str());
    }
    remove(path.c_str());
    return rc;
}

int command_line_corpus(const char *samples_dir, int argc, char **argv)
{
    for (int i = 0; i < argc; ++i) {
        const std::string input = read_file(argv[i]);
        printf("== %s\n", argv[i]);
        const int rc = fuzz_input::configure_from_lines(bytes(input), input.size());
        printf("read_configure %d\n", rc);
        const std::string sample = rc == 0 ? fuzz_input::sample_of_eotf(samples_dir) : "";
        if (!sample.empty())
            evaluate(argv[i] + std::string(" on ") + sample, sample.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "--test-data-corpus") == 0)
        return test_data_corpus(argc - 2, argv + 2);
    if (argc > 2 && strcmp(argv[1], "--command-line-corpus") == 0)
        return command_line_corpus(argv[2], argc - 3, argv + 3);
    init_reference();
    if (read_configure(argc, argv) < 0)
        return 255;
    evaluate(test_file_path, test_file_path);
    return 0;
}
