#include "app/results_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/generation.h"
#include "measure/measure.h"
#include "measure/results.h"

std::string run_results_json(const job_t &job, const std::string &serial_number, int32_t sensor_id,
                             const std::vector<std::string> &warnings, int indent)
{
    // The panel shows the reader's line with its line end, which is no part of the number.
    std::string serial = serial_number;
    while (!serial.empty() && (serial.back() == '\n' || serial.back() == '\r'))
        serial.pop_back();
    return results_record(job, serial.c_str(), sensor_shown(sensor_id), warnings).dump(indent);
}

int save_results_file(generation_t &g, const std::string &text)
{
    const std::string file = text + "\n";
    if (!stage_file(g, FILE_RECORD, [&](FILE *fp) { return fwrite(file.data(), 1, file.size(), fp) == file.size(); })) {
        fprintf(stderr, "save_results_file: %s/%s: %s\n", g.dir.c_str(), job_files[FILE_RECORD].current,
                strerror(errno));
        return -1;
    }
    return 0;
}
