#include "config/configure.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "config/paths.h"
#include "config/reference.h"

namespace {
// The default test data file, under $ANALYZER_ROOT when that is set.
const std::string default_test_file = device_path(DEFAULT_TEST_FILE);
}  // namespace

bool flag_cfg_colorSpace = false;
bool flag_cfg_EOTF = false;
bool flag_cfg_gamma = false;
bool flag_cfg_cct = false;
bool flag_cfg_lum = false;
int32_t sensor_id = 0;
const char *test_file_path = default_test_file.c_str();

namespace {

constexpr size_t LINE_BUF = 256;
constexpr int SENSOR_COUNT = 9;

struct file_closer {
    void operator()(FILE *f) const { fclose(f); }
};
// The open test data file; closed when the data ends or a new file is opened.
std::unique_ptr<FILE, file_closer> fp;

// What an option handler did with its value.
enum class opt_result { accepted, unrecognized, rejected };

// "%d" conversion without the undefined behaviour of an out-of-range value:
// a leading integer is enough, and values beyond int are clamped.
bool scan_int(const char *s, int32_t *out)
{
    char *end = nullptr;
    long v = std::strtol(s, &end, 10);
    if (end == s)
        return false;
    if (v > INT32_MAX)
        v = INT32_MAX;
    if (v < INT32_MIN)
        v = INT32_MIN;
    *out = static_cast<int32_t>(v);
    return true;
}

// "%f" conversion: a leading number is enough.
bool scan_float(const char *s, float *out)
{
    char *end = nullptr;
    float v = std::strtof(s, &end);
    if (end == s)
        return false;
    *out = v;
    return true;
}

opt_result reject(const char *line)
{
    puts(line);
    puts("Error: Configure. end.");
    return opt_result::rejected;
}

opt_result set_color_space(const char *value)
{
    for (const standard_t &row : standard_type) {
        if (strcmp(value, row.name) == 0) {
            reference->standard = row;
            flag_cfg_colorSpace = true;
            printf("Configure: The Color Space is set to %s.\n", row.name);
            return opt_result::accepted;
        }
    }
    return reject("Error: -colorSpace is given an unrecognized value!");
}

opt_result set_eotf(const char *value)
{
    for (int32_t t = 0; t < 4; ++t) {
        if (strcmp(value, eotf_names[t]) == 0) {
            reference->test_type = t;
            flag_cfg_EOTF = true;
            printf("Configure: The EOTF_type is set to %s.\n", value);
            return opt_result::accepted;
        }
    }
    return reject("Warning: -EOTF is given an unrecognized value!");
}

opt_result set_gamma(const char *value)
{
    float g = 0;
    if (!scan_float(value, &g))
        return reject("Error: -gamma is given an unrecognized value!");
    // Written so that a NaN counts as out of range too; 2.8f widened passes.
    if (!(g >= 1.0f && static_cast<double>(g) <= 2.8)) {
        printf("Warning: gamma out of range, only %.2f <= gamma_value <= %.1f is valid.\n", 1.0, 2.8);
        return opt_result::accepted;
    }
    reference->gamma = g;
    flag_cfg_gamma = true;
    printf("Configure: The ref gamma is set to %lf.\n", static_cast<double>(g));
    return opt_result::accepted;
}

opt_result set_cct(const char *value)
{
    int32_t cct = 0;
    if (!scan_int(value, &cct))
        return opt_result::unrecognized;
    if (cct == 6300)
        cct = 6301;
    for (const white_t &row : white_type) {
        if (row.cct == cct) {
            reference->white = row;
            flag_cfg_cct = true;
            printf("Configure: The CCT is set to %d. White Type is set to %s.\n", cct, row.name);
            return opt_result::accepted;
        }
    }
    return reject("Error: -cct is given an unrecognized value!");
}

opt_result set_lum(const char *value)
{
    float lum = 0;
    if (!scan_float(value, &lum))
        return opt_result::unrecognized;
    // Written so that a NaN counts as out of range too.
    if (!(lum > 0.0f && lum <= 10000.0f)) {
        printf("Warning: lum out of range, only %.0f < lum_value <= %.0f is valid.\n", 0.0, 10000.0);
        return opt_result::accepted;
    }
    reference->peak_lum = lum;
    flag_cfg_lum = true;
    printf("Configure: The lum is set to %f.\n", static_cast<double>(lum));
    return opt_result::accepted;
}

opt_result set_dev(const char *value)
{
    int32_t id = 0;
    if (!scan_int(value, &id)) {
        puts("Warning: The sensor is set error!\r");
        return opt_result::unrecognized;
    }
    // sensor_name has nine entries: any other id keeps the previous sensor.
    if (id < 0 || id >= SENSOR_COUNT) {
        puts("Warning: The sensor is set error!\r");
        return opt_result::accepted;
    }
    sensor_id = id;
    printf("Configure: The sensor is set to %s.\n", sensor_name[id]);
    return opt_result::accepted;
}

opt_result set_test_file_path(const char *value)
{
    test_file_path = value;
    printf("Configure: The Test data file path is set to %s.\n", value);
    return opt_result::accepted;
}

struct option_t {
    const char *name;
    opt_result (*apply)(const char *value);
};

constexpr option_t options[] = {
    {"-colorSpace", set_color_space}, {"-EOTF", set_eotf}, {"-gamma", set_gamma},
    {"-cct", set_cct},                {"-lum", set_lum},   {"-dev", set_dev},
    {"-testFilePath", set_test_file_path},
};

void print_default_warnings()
{
    if (!flag_cfg_colorSpace)
        printf("Warning: Use deafult -colorSpace : %s\n", reference->standard.name);
    if (!flag_cfg_EOTF)
        printf("Warning: Use deafult -EOTF : %d\n", reference->test_type);
    if (!flag_cfg_gamma)
        printf("Warning: Use deafult -gamma : %lf\n", static_cast<double>(reference->gamma));
    if (!flag_cfg_cct)
        printf("Warning: Use deafult -cct : %d\n", reference->white.cct);
    if (!flag_cfg_lum)
        printf("Warning: Use deafult -lum : %f\n", static_cast<double>(reference->peak_lum));
}

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

// Number of the last line read from the test data file, headers included.
int line_number = 0;

enum class line_state { line, too_long, end };

// Reads the next line of the test data file into `line`. A line longer than
// the buffer is read to its end and reported as too long, so that no piece of
// it is ever taken for a line of its own.
line_state read_line(char (&line)[LINE_BUF])
{
    memset(line, 0, sizeof line);
    if (fgets(line, sizeof line, fp.get()) == nullptr)
        return line_state::end;
    ++line_number;
    const size_t n = strlen(line);
    if (n < LINE_BUF - 1 || line[n - 1] == '\n' || feof(fp.get()))
        return line_state::line;
    // A full buffer: the line fits when its end comes next.
    int c = fgetc(fp.get());
    if (c == '\n' || c == EOF)
        return line_state::line;
    while ((c = fgetc(fp.get())) != EOF && c != '\n') {
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

int read_configure(int argc, char **argv)
{
    int i = 1;
    while (i < argc) {
        const option_t *opt = nullptr;
        for (const option_t &o : options)
            if (strcmp(argv[i], o.name) == 0) {
                opt = &o;
                break;
            }
        if (opt != nullptr && i + 1 >= argc) {
            // The value is missing: nothing after this can be an option value.
            printf("Error: Required argument to %s not specified\n", opt->name);
            break;
        }
        opt_result r = opt == nullptr ? opt_result::unrecognized : opt->apply(argv[i + 1]);
        if (r == opt_result::rejected)
            return -1;
        if (r == opt_result::unrecognized) {
            printf("Error: Unrecognized parameter! %s.\n", argv[i]);
            i += 1;
        } else {
            i += 2;
        }
    }
    print_default_warnings();
    init_ref_matrix();
    return 0;
}

int init_test_data_file()
{
    fp.reset(fopen(test_file_path, "r"));
    line_number = 0;
    if (!fp) {
        perror("fopen");
        return -1;
    }
    char line[LINE_BUF];
    for (int n = 0; n < 2; ++n)
        if (read_line(line) == line_state::end)
            break;
    return 0;
}

int get_XYZ_from_file(color_block_t *block)
{
    if (!fp)
        return -1;
    char line[LINE_BUF];
    for (;;) {
        const line_state state = read_line(line);
        if (state == line_state::end) {
            fp.reset();
            return -1;
        }
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
        block->ts0 = values[0];
        block->ts1 = values[1];
        block->ts2 = values[2];
        block->X = values[3];
        block->Y = values[4];
        block->Z = values[5];
        return 0;
    }
}
