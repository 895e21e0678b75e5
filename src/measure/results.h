// The results record of one evaluated job: the numbers behind the report
// (target, white, verdicts and every patch) as JSON, format
// "analyzer-results" version 1.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

struct job_t;

// JSON with keys in the order written and single-precision numbers: every
// float is written with the fewest digits that read back as the same float,
// and a non-finite one as null.
using results_json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                          std::uint64_t, float>;

inline constexpr int RESULTS_VERSION = 1;

// The record of one job; a job that was not evaluated (its test data file
// could not be read) has verdicts without a value, all failing. `warnings`
// are the console lines of the options and values the command line skipped.
results_json results_record(const job_t &job, const char *serial_number, const char *sensor,
                            const std::vector<std::string> &warnings);

// Text from the outside (file names, option text, the serial number) as
// valid UTF-8 for the record: each byte that is not part of a valid UTF-8
// sequence becomes U+FFFD. Valid text stays as it is.
std::string utf8_text(const std::string &text);

// The sensor as the panel names it: "" for none (or an id outside the table).
const char *sensor_shown(int32_t id);
