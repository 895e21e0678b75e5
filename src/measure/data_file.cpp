#include "measure/data_file.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr size_t LINE_BUF = 256;

struct file_closer {
    void operator()(FILE *f) const { fclose(f); }
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

enum class line_state { line, too_long, end };

// Reads the next line of the test data file into `line`. A line longer than
// the buffer is read to its end and reported as too long, so that no piece of
// it is ever taken for a line of its own.
line_state read_line(FILE *fp, char (&line)[LINE_BUF], int &line_number)
{
    memset(line, 0, sizeof line);
    if (fgets(line, sizeof line, fp) == nullptr)
        return line_state::end;
    ++line_number;
    const size_t n = strlen(line);
    if (n < LINE_BUF - 1 || line[n - 1] == '\n' || feof(fp))
        return line_state::line;
    // A full buffer: the line fits when its end comes next.
    int c = fgetc(fp);
    if (c == '\n' || c == EOF)
        return line_state::line;
    while ((c = fgetc(fp)) != EOF && c != '\n') {
    }
    return line_state::too_long;
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

}  // namespace

bool read_test_data(const char *path, const std::function<void(const color_block_t &)> &patch)
{
    std::unique_ptr<FILE, file_closer> fp(fopen(path, "r"));
    if (!fp) {
        perror("fopen");
        return false;
    }
    // Number of the last line read, headers included.
    int line_number = 0;
    char line[LINE_BUF];
    for (int n = 0; n < 2; ++n)
        if (read_line(fp.get(), line, line_number) == line_state::end)
            return true;
    for (;;) {
        const line_state state = read_line(fp.get(), line, line_number);
        if (state == line_state::end)
            return true;
        if (state == line_state::too_long) {
            printf("Warning: test data line %d is longer than %d characters, skipped.\r\n", line_number,
                   static_cast<int>(LINE_BUF - 1));
            continue;
        }
        if (is_blank(line))
            continue;
        // The six numbers land in the block only when the line holds exactly
        // six: a malformed line never takes values of another line.
        float values[6];
        if (!six_numbers(line, values)) {
            printf("Warning: test data line %d does not hold six numbers, skipped.\r\n", line_number);
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
