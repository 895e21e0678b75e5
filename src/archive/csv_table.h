// Jobs as CSV (RFC 4180): a header, then one row per job with its file, its
// target, every verdict's value and pass and the overall pass. A verdict
// that is not part of the job's report has empty cells; a verdict without a
// value an empty value.
#pragma once
#include <string>

#include "archive/job_row.h"

std::string csv_header();
std::string csv_row(const job_row_t &row);
