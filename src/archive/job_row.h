// One job as the archive tools read it: the file, the target, every verdict
// of its report with its value and pass, the overall pass and the data's
// warnings. Made from a job judged here or from a record the analyzer wrote,
// so both read alike.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "measure/measure.h"
#include "measure/results.h"
#include "measure/verdict.h"

struct verdict_cell_t {
    bool judged = false;  // the verdict belongs to the job's report
    float value;          // NaN when the job has no value for it
    bool pass = false;
    float target;         // the target gamma of the total gamma, else NaN
};

struct job_row_t {
    std::string file;
    bool hdr = false;
    std::string eotf;
    std::string color_space;
    float gamma;
    std::array<verdict_cell_t, VERDICT_COUNT> verdicts{};
    bool pass = false;
    int data_warning_count = 0;
    std::string first_data_warning;
};

job_row_t job_row(const job_t &job);

// The row of a results record; false when `record` is no record of format
// "analyzer-results" version 1. A record without the overall pass passes
// when every verdict of its report does; none passes when a verdict fails
// or has no value.
bool job_row(const results_json &record, job_row_t &row);
