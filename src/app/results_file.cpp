#include "app/results_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "config/configure.h"
#include "config/paths.h"
#include "config/reference.h"
#include "draw/switch_page.h"
#include "measure/results.h"
#include "measure/verdict.h"
#include "panel/draw_config_chart.h"

namespace {

struct unique_fd {
    int fd;
    ~unique_fd()
    {
        if (fd >= 0)
            close(fd);
    }
    // Closes now; false when the close reports an error (a delayed write).
    bool close_now()
    {
        const int f = fd;
        fd = -1;
        return close(f) == 0;
    }
};

bool write_all(int fd, const std::string &text)
{
    const char *p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Writes `text` to a temporary file in `dir` and renames it to `path`.
bool write_replacing(const std::string &dir, const std::string &path, const std::string &text)
{
    std::string tmpl = dir + "/.results-XXXXXX";
    std::vector<char> tmp(tmpl.begin(), tmpl.end());
    tmp.push_back('\0');
    unique_fd file{mkstemp(tmp.data())};
    if (file.fd < 0)
        return false;
    // mkstemp makes the file private; the record is readable like the captures.
    fchmod(file.fd, 0644);
    const bool ok = write_all(file.fd, text) && fsync(file.fd) == 0 && file.close_now() &&
                    rename(tmp.data(), path.c_str()) == 0;
    if (!ok) {
        const int saved = errno;
        unlink(tmp.data());
        errno = saved;
    }
    return ok;
}

}  // namespace

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
    const std::string previous = dir + "/2.json";
    if (access(current.c_str(), F_OK) == 0) {
        unlink(previous.c_str());
        if (rename(current.c_str(), previous.c_str()) != 0)
            unlink(current.c_str());
    }
    if (!write_replacing(dir, current, run_results_json(2) + "\n")) {
        fprintf(stderr, "save_results_file: %s: %s\n", current.c_str(), strerror(errno));
        return -1;
    }
    return 0;
}
