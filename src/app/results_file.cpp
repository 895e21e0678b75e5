#include "app/results_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/replace_file.h"
#include "config/configure.h"
#include "config/paths.h"
#include "config/reference.h"
#include "draw/switch_page.h"
#include "measure/results.h"
#include "measure/verdict.h"
#include "panel/draw_config_chart.h"

std::string run_results_json(int indent)
{
    // A report page exists only when the job was evaluated.
    const bool evaluated = current_page_status == PAGE_SDR || current_page_status == PAGE_HDR;
    if (reference == nullptr)
        return {};
    // The panel shows the reader's line with its line end, which is no part of the number.
    std::string serial = panel_serial_number();
    while (!serial.empty() && (serial.back() == '\n' || serial.back() == '\r'))
        serial.pop_back();
    return results_record(*reference, evaluated ? &job_summary : nullptr, test_file_path, serial.c_str(),
                          sensor_shown(sensor_id))
        .dump(indent);
}

int save_results_file()
{
    const std::string dir = device_path(CAPTURE_DIR);
    const std::string current = dir + "/1.json";
    rotate_generations(current, dir + "/2.json");
    const std::string text = run_results_json(2) + "\n";
    if (!replace_file(dir, current, [&](FILE *fp) { return fwrite(text.data(), 1, text.size(), fp) == text.size(); })) {
        fprintf(stderr, "save_results_file: %s: %s\n", current.c_str(), strerror(errno));
        return -1;
    }
    return 0;
}
