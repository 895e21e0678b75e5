// The drawing run of a job: the panel, the report page and the job's data.
#pragma once
#include <cstdint>

#include "measure/measure.h"
#include "report/report_page.h"

// Draws the evaluated job's report: the panel with the serial number as
// shown and the sensor, its page of `pages` and its patches and verdicts,
// then renders.
void start_measure(report_pages_t &pages, const job_t &job, const char *serial_number, int32_t sensor_id);
