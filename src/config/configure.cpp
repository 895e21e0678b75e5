#include "config/configure.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "color/color.h"
#include "color/reference.h"
#include "config/paths.h"
#include "config/sensors.h"

namespace {

// Which settings the command line gave; the others are reported as defaults.
struct given_t {
    bool colorSpace = false;
    bool EOTF = false;
    bool gamma = false;
    bool cct = false;
    bool lum = false;
};

// What the option handlers write into, and the option being read.
struct parse_t {
    settings_t &settings;
    given_t given;
    const char *option = "";
    const char *lum_text = nullptr;  // the -lum value in force
};

// What an option handler did with its value.
enum class opt_result { accepted, unrecognized, rejected };

// The text of a printf format and its arguments.
std::string formatted(const char *format, va_list args)
{
    va_list again;
    va_copy(again, args);
    const int n = vsnprintf(nullptr, 0, format, args);
    std::string line(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    vsnprintf(line.data(), line.size() + 1, format, again);
    va_end(again);
    return line;
}

// Prints the console line of a skipped option or value (format and
// arguments as printf) followed by `line_end`, and keeps it for the record.
[[gnu::format(printf, 3, 4)]] void report_skipped(settings_t &settings, const char *line_end, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string line = formatted(format, args);
    va_end(args);
    printf("%s%s", line.c_str(), line_end);
    settings.warnings.push_back(std::move(line));
}

// Keeps a note for the record only: a value the console reports as set but
// that was read in part or is ignored.
[[gnu::format(printf, 2, 3)]] void note_reading(settings_t &settings, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    settings.warnings.push_back(formatted(format, args));
    va_end(args);
}

// "%d" conversion without the undefined behaviour of an out-of-range value:
// a leading integer is enough, and values beyond int are clamped. Text after
// the number is noted: "-dev 3x read as 3".
bool scan_int(parse_t &p, const char *s, int32_t *out)
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
    if (*end != '\0')
        note_reading(p.settings, "%s %s read as %d", p.option, s, *out);
    return true;
}

// "%f" conversion: a leading number is enough. Text after the number is
// noted: "-gamma 2,4 read as 2".
bool scan_float(parse_t &p, const char *s, float *out)
{
    char *end = nullptr;
    float v = std::strtof(s, &end);
    if (end == s)
        return false;
    *out = v;
    if (*end != '\0')
        note_reading(p.settings, "%s %s read as %g", p.option, s, static_cast<double>(v));
    return true;
}

opt_result reject(const char *line)
{
    puts(line);
    puts("Error: Configure. end.");
    return opt_result::rejected;
}

opt_result set_color_space(parse_t &p, const char *value)
{
    for (const standard_t &row : standard_type) {
        if (strcmp(value, row.name) == 0) {
            p.settings.target.standard = row;
            p.given.colorSpace = true;
            printf("Configure: The Color Space is set to %s.\n", row.name);
            return opt_result::accepted;
        }
    }
    return reject("Error: -colorSpace is given an unrecognized value!");
}

opt_result set_eotf(parse_t &p, const char *value)
{
    const eotf_row_t *row = find_eotf(value);
    if (row != nullptr) {
        p.settings.target.test_type = row->id;
        p.given.EOTF = true;
        printf("Configure: The EOTF_type is set to %s.\n", value);
        return opt_result::accepted;
    }
    return reject("Warning: -EOTF is given an unrecognized value!");
}

opt_result set_gamma(parse_t &p, const char *value)
{
    float g = 0;
    if (!scan_float(p, value, &g))
        return reject("Error: -gamma is given an unrecognized value!");
    // Written so that a NaN counts as out of range too; 2.8f widened passes.
    if (!(g >= 1.0f && static_cast<double>(g) <= 2.8)) {
        report_skipped(p.settings, "\n", "Warning: gamma out of range, only %.2f <= gamma_value <= %.1f is valid.", 1.0,
                       2.8);
        return opt_result::accepted;
    }
    p.settings.target.gamma = g;
    p.given.gamma = true;
    printf("Configure: The ref gamma is set to %lf.\n", static_cast<double>(g));
    return opt_result::accepted;
}

opt_result set_cct(parse_t &p, const char *value)
{
    int32_t cct = 0;
    if (!scan_int(p, value, &cct))
        return opt_result::unrecognized;
    if (cct == 6300)
        cct = 6301;
    for (const white_t &row : white_type) {
        if (row.cct == cct) {
            p.settings.target.white = row;
            p.given.cct = true;
            printf("Configure: The CCT is set to %d. White Type is set to %s.\n", cct, row.name);
            return opt_result::accepted;
        }
    }
    return reject("Error: -cct is given an unrecognized value!");
}

opt_result set_lum(parse_t &p, const char *value)
{
    float lum = 0;
    if (!scan_float(p, value, &lum))
        return opt_result::unrecognized;
    // Written so that a NaN counts as out of range too.
    if (!(lum > 0.0f && lum <= 10000.0f)) {
        report_skipped(p.settings, "\n", "Warning: lum out of range, only %.0f < lum_value <= %.0f is valid.", 0.0,
                       10000.0);
        return opt_result::accepted;
    }
    p.settings.target.peak_lum = lum;
    p.given.lum = true;
    printf("Configure: The lum is set to %f.\n", static_cast<double>(lum));
    p.lum_text = value;
    return opt_result::accepted;
}

opt_result set_dev(parse_t &p, const char *value)
{
    int32_t id = 0;
    if (!scan_int(p, value, &id)) {
        report_skipped(p.settings, "\r\n", "Warning: The sensor is set error!");
        return opt_result::unrecognized;
    }
    // sensor_name has nine entries: any other id keeps the previous sensor.
    if (id < 0 || id >= SENSOR_COUNT) {
        report_skipped(p.settings, "\r\n", "Warning: The sensor is set error!");
        return opt_result::accepted;
    }
    p.settings.sensor_id = id;
    printf("Configure: The sensor is set to %s.\n", sensor_name[id]);
    return opt_result::accepted;
}

opt_result set_test_file_path(parse_t &p, const char *value)
{
    p.settings.test_file_path = value;
    p.settings.test_file_path_set = true;
    printf("Configure: The Test data file path is set to %s.\n", value);
    return opt_result::accepted;
}

struct option_t {
    const char *name;
    opt_result (*apply)(parse_t &p, const char *value);
};

constexpr option_t options[] = {
    {"-colorSpace", set_color_space}, {"-EOTF", set_eotf}, {"-gamma", set_gamma},
    {"-cct", set_cct},                {"-lum", set_lum},   {"-dev", set_dev},
    {"-testFilePath", set_test_file_path},
};

void print_default_warnings(const given_t &given, const reference_t &ref)
{
    if (!given.colorSpace)
        printf("Warning: Use deafult -colorSpace : %s\n", ref.standard.name);
    if (!given.EOTF)
        printf("Warning: Use deafult -EOTF : %d\n", static_cast<int>(ref.test_type));
    if (!given.gamma)
        printf("Warning: Use deafult -gamma : %lf\n", static_cast<double>(ref.gamma));
    if (!given.cct)
        printf("Warning: Use deafult -cct : %d\n", ref.white.cct);
    if (!given.lum)
        printf("Warning: Use deafult -lum : %f\n", static_cast<double>(ref.peak_lum));
}

}  // namespace

settings_t default_settings()
{
    settings_t s;
    s.target = init_reference();
    s.test_file_path = device_path(DEFAULT_TEST_FILE);
    return s;
}

int read_configure(int argc, char **argv, settings_t &settings)
{
    parse_t parse{settings, {}};
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
            report_skipped(settings, "\n", "Error: Required argument to %s not specified", opt->name);
            break;
        }
        if (opt != nullptr)
            parse.option = opt->name;
        opt_result r = opt == nullptr ? opt_result::unrecognized : opt->apply(parse, argv[i + 1]);
        if (r == opt_result::rejected)
            return -1;
        if (r == opt_result::unrecognized) {
            report_skipped(settings, "\n", "Error: Unrecognized parameter! %s.", argv[i]);
            i += 1;
        } else {
            i += 2;
        }
    }
    // A peak luminance too small to count is ignored where one is used.
    const eotf_row_t *eotf = find_eotf(settings.target.test_type);
    if (parse.lum_text != nullptr && eotf != nullptr && eotf->uses_peak_lum && !peak_lum_given(settings.target))
        note_reading(settings, "-lum %s ignored: the measured white is used", parse.lum_text);
    print_default_warnings(parse.given, settings.target);
    init_ref_matrix(settings.target);
    return 0;
}
