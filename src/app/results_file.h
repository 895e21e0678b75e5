// The results record of the run's job, beside the captures.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct job_t;
struct generation_t;

// The record of the job as JSON text: compact (one line) by default, or
// indented by `indent` spaces. `serial_number` is the value the panel shows,
// `warnings` the console lines of the skipped options and values.
std::string run_results_json(const job_t &job, const std::string &serial_number, int32_t sensor_id,
                             const std::vector<std::string> &warnings, int indent = -1);

// Writes `text` as "1.json" of the generation `g`. Returns 0, or -1 when it
// could not be written (reported on standard error).
int save_results_file(generation_t &g, const std::string &text);
