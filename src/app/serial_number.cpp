#include "app/serial_number.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/command.h"
#include "config/paths.h"

std::string read_serial_number(std::vector<std::string> *warnings)
{
    char SN[30] = {0};
    // A reader that is not installed reads as no output.
    command_result reader = run_command({device_path(SN_READER), "SN"}, true, SN_READER_SECONDS);
    if (reader.timed_out) {
        char line[96];
        snprintf(line, sizeof line, "Warning: the serial-number reader did not finish within %.0f s; no serial number",
                 SN_READER_SECONDS);
        puts(line);
        if (warnings != nullptr)
            warnings->push_back(line);
        return {};
    }
    const int err = reader.start_error;
    if (err != 0 && err != ENOENT && err != EACCES && err != ENOEXEC) {
        puts("Failed to run get sn command");
        exit(1);
    }
    // Line by line as the reader printed them, in pieces that fit SN.
    std::string &output = reader.output;
    FILE *out = output.empty() ? nullptr : fmemopen(output.data(), output.size(), "r");
    if (out != nullptr) {
        while (fgets(SN, sizeof SN, out) != nullptr)
            printf("SN len = %d, %s\r\n", static_cast<int>(strlen(SN)), SN);
        fclose(out);
    }
    // The value must end in a digit, before the line's newline when it has one.
    size_t n = strlen(SN);
    if (n > 0 && SN[n - 1] == '\n')
        --n;
    if (n < 1 || SN[n - 1] < '0' || SN[n - 1] > '9') {
        puts("SN none, clear.\r");
        return {};
    }
    return SN;
}

std::string serial_number_value(const std::string &line)
{
    // A line shorter than "SN=" shows nothing.
    return line.size() >= 3 ? line.substr(3) : std::string();
}
