// CPU time of the measurement run's evaluation alone (reading the test data
// file and judging every patch, no drawing) on three jobs:
//   sdr_60   60 patches, Power 2.4 / DCI-P3: 11 grayscale, 6 gamut, 18 checker,
//            21 more grayscale levels and 4 grayscale re-measurements
//   gray_32  32 grayscale levels, Power 2.4 / DCI-P3
//   pq_60    60 patches, PQ / BT.2020 clipped at 600 cd/m2 with a super-white
// The base files come from analyzer-simulate (an ideal display); the extra
// grayscale lines follow the same display model, so every patch should pass.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "color/reference.h"
#include "config/configure.h"
#include "measure/measure.h"

namespace {

struct patch_line {
    float s[3];
    double xyz[3];
};

std::string work_dir;

std::string run_simulate(const std::string &args)
{
    std::string cmd = std::string(ANALYZER_SIMULATE_BIN) + " " + args;
    FILE *p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
        perror("popen");
        exit(1);
    }
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    if (pclose(p) != 0 || out.empty()) {
        fprintf(stderr, "bench_evaluate: %s failed\n", cmd.c_str());
        exit(1);
    }
    return out;
}

// XYZ of the simulated patch whose three signals equal `s`.
patch_line find_gray(const std::string &file, float s)
{
    std::istringstream in(file);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    while (std::getline(in, line)) {
        patch_line p{};
        if (sscanf(line.c_str(), "%f,%f,%f,%lf,%lf,%lf", &p.s[0], &p.s[1], &p.s[2], &p.xyz[0], &p.xyz[1],
                   &p.xyz[2]) == 6 &&
            p.s[0] == s && p.s[1] == s && p.s[2] == s)
            return p;
    }
    fprintf(stderr, "bench_evaluate: no grayscale patch at %g\n", static_cast<double>(s));
    exit(1);
}

// A grayscale line at signal s and luminance Y, with the white's chromaticity.
std::string gray_line(const patch_line &white, float s, double Y)
{
    char buf[160];
    double k = Y / white.xyz[1];
    snprintf(buf, sizeof buf, "%.6f,%.6f,%.6f,%.9g,%.9g,%.9g\n", static_cast<double>(s),
             static_cast<double>(s), static_cast<double>(s), white.xyz[0] * k, Y, white.xyz[2] * k);
    return buf;
}

std::string write_job(const std::string &name, const std::string &text)
{
    std::string path = work_dir + "/" + name + ".csv";
    std::ofstream(path) << text;
    return path;
}

// Grayscale levels added to the 10 % ramp: 5 % steps between, 1 % steps near
// both ends.
std::vector<float> extra_levels(int count)
{
    std::vector<float> v;
    for (int i = 5; i < 100; i += 10)
        v.push_back(i / 100.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 97, 98, 99})
        v.push_back(i / 100.0f);
    v.resize(static_cast<size_t>(count));
    return v;
}

const float REMEASURED[] = {0.1f, 0.3f, 0.5f, 0.9f};

std::string sdr_60_job()
{
    std::string base = run_simulate("-EOTF Power -gamma 2.4 --seed 1");
    patch_line white = find_gray(base, 1.0f);
    std::string text = base;
    for (float s : extra_levels(21))
        text += gray_line(white, s, white.xyz[1] * std::pow(s, 2.4));
    for (float s : REMEASURED)
        text += gray_line(white, s, white.xyz[1] * std::pow(s, 2.4));
    return write_job("sdr_60", text);
}

std::string gray_32_job()
{
    std::string base = run_simulate("-EOTF Power -gamma 2.4 --seed 1");
    patch_line white = find_gray(base, 1.0f);
    std::string text = "gray 32\nts0,ts1,ts2,X,Y,Z\n";
    for (int i = 0; i < 32; ++i) {
        float s = i / 31.0f;
        text += gray_line(white, s, white.xyz[1] * std::pow(s, 2.4));
    }
    return write_job("gray_32", text);
}

std::string pq_60_job()
{
    std::string base = run_simulate("-EOTF PQ -colorSpace BT.2020 --clip 600 --super-white --seed 4");
    patch_line white = find_gray(base, 1.0f);
    std::string text = base;
    auto pq = [](float s) { return std::min(600.0, static_cast<double>(get_ST2084_EOTF(s))); };
    for (float s : extra_levels(20))
        text += gray_line(white, s, pq(s));
    for (float s : REMEASURED)
        text += gray_line(white, s, pq(s));
    return write_job("pq_60", text);
}

reference_t target_of(int test_type, const char *space)
{
    reference_t ref = init_reference();
    ref.test_type = static_cast<eotf_t>(test_type);
    ref.gamma = 2.4f;
    for (const standard_t &s : standard_type)
        if (std::string(s.name) == space)
            ref.standard = s;
    init_ref_matrix(ref);
    return ref;
}

// Largest ΔE 2000 of the judged patches: a setup check, printed once per job.
float worst_dE(const job_t &job)
{
    float worst = 0;
    for (int i = 0; i < job.store.gray_count; ++i)
        worst = std::max(worst, job.store.gray[i].dE2000);
    for (const color_t &p : job.store.check)
        worst = std::max(worst, p.dE2000);
    return worst;
}

struct bench_job {
    const char *name;
    std::string path;
    int test_type;
    const char *space;
};

std::vector<bench_job> jobs;

void BM_evaluate(benchmark::State &state)
{
    const bench_job &j = jobs[static_cast<size_t>(state.range(0))];
    const reference_t target = target_of(j.test_type, j.space);
    job_t job;
    for (auto _ : state) {
        job = evaluate(target, j.path.c_str());
        if (!job.evaluated)
            state.SkipWithError("test data file not opened");
    }
    state.SetLabel(j.name);
    state.counters["gray"] = job.store.gray_count;
    state.counters["worst_dE"] = worst_dE(job);
}

}  // namespace

int main(int argc, char **argv)
{
    char tmpl[] = "/tmp/bench_evaluate-XXXXXX";
    if (mkdtemp(tmpl) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    work_dir = tmpl;
    jobs = {
        {"sdr_60", sdr_60_job(), 0, "DCI-P3"},
        {"gray_32", gray_32_job(), 0, "DCI-P3"},
        {"pq_60", pq_60_job(), 2, "BT.2020"},
    };

    // The evaluation prints its progress as the program does (line by line);
    // send that to /dev/null and the report to stderr.
    fflush(stdout);
    if (freopen("/dev/null", "w", stdout) == nullptr) {
        perror("freopen");
        return 1;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);

    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("evaluate_measure", BM_evaluate)
        ->DenseRange(0, static_cast<int>(jobs.size()) - 1)
        ->Unit(benchmark::kMicrosecond);
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const bench_job &j : jobs)
        unlink(j.path.c_str());
    rmdir(work_dir.c_str());
    return 0;
}
