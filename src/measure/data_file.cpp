#include "measure/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "measure/console.h"

namespace {

constexpr size_t LINE_MAX_CHARS = 255;

// Owns an open descriptor.
struct fd_owner {
    int fd;
    ~fd_owner()
    {
        if (fd >= 0)
            close(fd);
    }
};

enum class line_state { line, too_long, end, failed };

void report_too_large(const char *path)
{
    fprintf(console_err(), "read_test_data: %s: larger than %" PRId64 " MiB, refused\n", path, TEST_DATA_MAX_BYTES >> 20);
}

// Splits the file into lines by their length, so that a NUL byte is part of
// its line like any other character. A line longer than LINE_MAX_CHARS is
// read to its end and reported as too long: no piece of it is ever taken for
// a line of its own.
struct line_reader {
    int fd = -1;
    const char *path = nullptr;
    char buf[1 << 16];
    size_t pos = 0, len = 0;
    bool after_cr = false;  // an LF right after a CR ends no further line
    int64_t bytes = 0;
    int64_t number = 0;  // number of the last line read, headers included

    // The next byte, or -1 at the end of the file, -2 when it cannot be read.
    int next_byte()
    {
        if (pos == len) {
            ssize_t n;
            do
                n = read(fd, buf, sizeof buf);
            while (n < 0 && errno == EINTR);
            if (n < 0) {
                fprintf(console_err(), "read_test_data: %s: %s\n", path, strerror(errno));
                return -2;
            }
            bytes += n;
            // The file may have grown since it was opened.
            if (bytes > TEST_DATA_MAX_BYTES) {
                report_too_large(path);
                return -2;
            }
            if (n == 0)
                return -1;
            pos = 0;
            len = static_cast<size_t>(n);
        }
        return static_cast<unsigned char>(buf[pos++]);
    }

    line_state read_line(std::string &line)
    {
        line.clear();
        bool too_long = false;
        for (;;) {
            const int c = next_byte();
            if (c == -2)
                return line_state::failed;
            const bool crlf = after_cr && c == '\n';
            after_cr = c == '\r';
            if (crlf)
                continue;
            if (c == -1 && line.empty() && !too_long)
                return line_state::end;
            if (c == -1 || c == '\n' || c == '\r')
                break;
            if (line.size() < LINE_MAX_CHARS)
                line += static_cast<char>(c);
            else
                too_long = true;
        }
        ++number;
        return too_long ? line_state::too_long : line_state::line;
    }
};

// Fills `field` with the next number of a data line (leading white space
// skipped). Returns false when nothing converts.
bool next_field(const char *&p, float &field)
{
    char *end = nullptr;
    float v = std::strtof(p, &end);
    if (end == p)
        return false;
    field = v;
    p = end;
    return true;
}

bool is_blank(const char *line)
{
    for (; *line != '\0'; ++line)
        if (!isspace(static_cast<unsigned char>(*line)))
            return false;
    return true;
}

// "ts0,ts1,ts2,X,Y,Z": six comma-separated numbers and nothing else but
// trailing white space. Not-a-number and infinity are numbers.
bool six_numbers(const char *p, float (&values)[6])
{
    for (size_t n = 0; n < 6; ++n) {
        if (n > 0) {
            if (*p != ',')
                return false;
            ++p;
        }
        if (!next_field(p, values[n]))
            return false;
    }
    return is_blank(p);
}

// The warnings of skipped lines: the first LINE_WARNINGS_MAX one by one,
// then, when the reading ends, one line for the rest.
struct skipped_lines {
    int64_t &count;
    std::vector<std::string> *warnings;
    void skip(int64_t line, const std::string &why)
    {
        if (++count <= LINE_WARNINGS_MAX)
            data_warning(warnings, "\r\n", "Warning: test data line %" PRId64 " %s, skipped.", line, why.c_str());
    }
    ~skipped_lines()
    {
        if (count > LINE_WARNINGS_MAX)
            data_warning(warnings, "\r\n", "Warning: %" PRId64 " more test data lines were skipped.",
                         count - LINE_WARNINGS_MAX);
    }
};

// Opens the file without blocking (a FIFO without a writer, a device) and
// accepts only a regular file within the size bound. -1 after the reason was
// printed.
int open_regular(const char *path)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        fprintf(console_err(), "fopen: %s\n", strerror(errno));
        return -1;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0)
        fprintf(console_err(), "read_test_data: %s: %s\n", path, strerror(errno));
    else if (!S_ISREG(st.st_mode))
        fprintf(console_err(), "read_test_data: %s: not a regular file\n", path);
    else if (st.st_size > TEST_DATA_MAX_BYTES)
        report_too_large(path);
    else
        return fd;
    close(fd);
    return -1;
}

}  // namespace

bool read_test_data(const char *path, const std::function<void(const color_block_t &)> &patch,
                    int64_t *lines_skipped, std::vector<std::string> *warnings)
{
    const fd_owner file{open_regular(path)};
    if (file.fd < 0)
        return false;
    line_reader reader;
    reader.fd = file.fd;
    reader.path = path;
    std::string line;
    line.reserve(LINE_MAX_CHARS);
    int64_t own_count = 0;
    skipped_lines skipped{lines_skipped != nullptr ? *lines_skipped : own_count, warnings};
    skipped.count = 0;
    const std::string too_long = "is longer than " + std::to_string(LINE_MAX_CHARS) + " characters";
    for (int n = 0; n < 2; ++n) {
        const line_state state = reader.read_line(line);
        if (state == line_state::failed)
            return false;
        if (state == line_state::end)
            return true;
    }
    for (;;) {
        const line_state state = reader.read_line(line);
        if (state == line_state::failed)
            return false;
        if (state == line_state::end)
            return true;
        if (state == line_state::too_long) {
            skipped.skip(reader.number, too_long);
            continue;
        }
        const bool has_nul = line.find('\0') != std::string::npos;
        if (!has_nul && is_blank(line.c_str()))
            continue;
        // The six numbers land in the block only when the line holds exactly
        // six: a malformed line never takes values of another line.
        float values[6];
        if (has_nul || !six_numbers(line.c_str(), values)) {
            skipped.skip(reader.number, "does not hold six numbers");
            continue;
        }
        color_block_t block{};
        block.ts0 = values[0];
        block.ts1 = values[1];
        block.ts2 = values[2];
        block.X = values[3];
        block.Y = values[4];
        block.Z = values[5];
        patch(block);
    }
}
