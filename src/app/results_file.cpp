#include "app/results_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/replace_file.h"
#include "config/paths.h"
#include "measure/measure.h"
#include "measure/results.h"

std::string run_results_json(const job_t &job, const std::string &serial_number, int32_t sensor_id, int indent)
{
    // The panel shows the reader's line with its line end, which is no part of the number.
    std::string serial = serial_number;
    while (!serial.empty() && (serial.back() == '\n' || serial.back() == '\r'))
        serial.pop_back();
    return results_record(job, serial.c_str(), sensor_shown(sensor_id)).dump(indent);
}

int save_results_file(const std::string &text)
{
    const std::string dir = device_path(CAPTURE_DIR);
    const std::string current = dir + "/1.json";
    rotate_generations(current, dir + "/2.json");
    const std::string file = text + "\n";
    if (!replace_file(dir, current, [&](FILE *fp) { return fwrite(file.data(), 1, file.size(), fp) == file.size(); })) {
        fprintf(stderr, "save_results_file: %s: %s\n", current.c_str(), strerror(errno));
        return -1;
    }
    return 0;
}
