// The results record of the run's job, beside the captures.
#pragma once
#include <cstdint>
#include <string>

struct job_t;

// The record of the job as JSON text: compact (one line) by default, or
// indented by `indent` spaces. `serial_number` is the value the panel shows.
std::string run_results_json(const job_t &job, const std::string &serial_number, int32_t sensor_id,
                             int indent = -1);

// Moves "1.json" of the capture folder to "2.json" (replacing it), as the
// captures are rotated, and writes `text` as the new "1.json" through a
// temporary file and a rename, so that a full disk leaves no partial file.
// Returns 0, or -1 when it could not be written (reported on standard error).
int save_results_file(const std::string &text);
